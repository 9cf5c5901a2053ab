// Explode pieces: the textured boxes that the desktop is cut into.
#pragma once

#include <vector>

class Piece;

// The live pieces in drawing order; owns them.
extern std::vector<Piece*> pieces;

void BuildPieces();
void DrawPiece(Piece* piece);
void MovePiece(Piece* piece);
void ExplodeStep();
