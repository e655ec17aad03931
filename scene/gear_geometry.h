// Procedural geometry for the gear train, emitted into whatever display list is open.
#pragma once

#include <cstdint>

// A spur gear on the z axis, centred on z = 0, with trapezoidal teeth, flat faces and a
// cylindrical bore.
//   toothCount   teeth around the rim, at least 1
//   boreRadius   radius of the central hole; 0 gives a solid gear
//   pitchRadius  radius halfway up the teeth
//   faceWidth    thickness along z
//   toothDepth   radial height of a tooth from root to tip
void BuildGear(int32_t toothCount, float boreRadius, float pitchRadius, float faceWidth,
               float toothDepth);

// Two square-section bars (half-side 0.15) along x, from inner to outer and from -outer to
// -inner; open at their ends.
void BuildSpokeBar(float inner, float outer);
