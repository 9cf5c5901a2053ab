// The sparkle clouds: 1000 small point clouds made once per scene, drawn along
// the trails of flying pieces.
#pragma once

constexpr int kSparkleCloudCount = 1000;
constexpr int kMaxSparklePoints = 15;

// Cloud i's points are SparkleCloudSize[i] x, y, z triples from
// SparkleCloudPoints[i][0]; the rest of its row is unused. Sizes are 0 while
// no scene is set up.
extern float SparkleCloudPoints[kSparkleCloudCount][kMaxSparklePoints * 3];
extern int SparkleCloudSize[kSparkleCloudCount];

// Makes the 1000 clouds from the random generator, sized from the plane and
// the grid divisions.
void BuildSparkleClouds();

// Empties every cloud.
void ReleaseSparkleClouds();

// Points of sparkle cloud `index` with mean cell size `cell`, drawn from the
// random generator exactly as BuildSparkleClouds does. Writes x, y, z triples
// into out (room for kMaxSparklePoints) and returns the count.
int SparklePoints(int index, float cell, float* out);
