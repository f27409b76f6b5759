// The seams of the sample figure in its reference pose: y up, 0.36 units
// tall from the soles (y = -0.18) to the crown (y = 0.18), facing -z (the
// view mirrors z, so -z faces the viewer), its left side at +x; the files
// are written smaller and a little higher (kWrittenScale and kWrittenRaise
// in sample_library.h). Every part is built in this frame, so the first part
// placed already stands where the figure belongs; the others are moved onto
// it seam by seam. Left-side seams are given; the right side is their mirror
// image.
#pragma once

#include "seam_ring.h"

namespace library::seams {

RingShape NeckToHead();     // neck list 1, head list 0
RingShape BodyToNeck();     // upper body list 2, neck list 0
RingShape Shoulder();       // upper body list 1, left arm list 1
RingShape Waist();          // upper body list 0, stomach list 1
RingShape Hip();            // stomach list 0, left thigh list 1
RingShape Knee();           // left thigh list 0, left leg list 1
RingShape Ankle();          // left leg list 0, left foot list 0
RingShape Elbow();          // left arm list 0, left forearm list 1
RingShape Wrist();          // left forearm list 0, left hand list 0

// The same ring with its radii scaled (a variant of different girth).
RingShape Scaled(RingShape shape, double factor);
RingShape Moved(RingShape shape, Vec3 offset);

}  // namespace library::seams
