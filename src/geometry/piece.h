// Explode pieces: the textured boxes that the desktop is cut into.
#pragma once

class Piece;

void BuildPieces();
void DrawPiece(Piece* piece);
void MovePiece(Piece* piece);
void ExplodeStep();
