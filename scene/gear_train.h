// The gear train behind the dial: eight gears on five axes, turning at fixed ratios.
#pragma once

// Records Wheel32List, Pinion11List, Wheel24List and Pinion7List. Needs the Quadric.
void BuildGearLists();
// Draws the train at the current ElapsedMs, in the train's frame; leaves the matrix as it
// found it.
void DrawGearTrain();
