#include "geometry/piece.h"

std::vector<Piece*> pieces;

void BuildPieces() {}
void DrawPiece(Piece*) {}
void MovePiece(Piece*) {}
void ExplodeStep() {}
