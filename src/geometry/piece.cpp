#include "geometry/piece.h"

void BuildPieces() {}
void DrawPiece(Piece*) {}
void MovePiece(Piece*) {}
void ExplodeStep() {}
