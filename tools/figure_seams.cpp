#include "figure_seams.h"

namespace library::seams {

namespace {
RingShape Ring(Vec3 centre, Vec3 normal, Vec3 ref, int w, int h, double ra, double rb, double exponent = 2) {
    RingShape s;
    s.centre = centre;
    s.normal = Normalize(normal);
    s.ref = ref;
    s.blockW = w;
    s.blockH = h;
    s.ra = ra;
    s.rb = rb;
    s.exponent = exponent;
    return s;
}
}  // namespace

RingShape NeckToHead() { return Ring({0, 0.1352, 0.0030}, {0, 1, 0.12}, {1, 0, 0}, 4, 4, 0.0104, 0.0110); }
RingShape BodyToNeck() { return Ring({0, 0.1175, 0.0035}, {0, 1, 0.1}, {1, 0, 0}, 3, 5, 0.0120, 0.0118); }
RingShape Shoulder() {
    // Wrapped round the side of the chest.
    RingShape r = Ring({0.0425, 0.0985, 0.0010}, {1, 0, 0}, {0, 0, 1}, 3, 5, 0.0092, 0.0102);
    r.curve = -35;
    return r;
}
RingShape Waist() { return Ring({0, 0.045, 0.0015}, {0, -1, 0}, {1, 0, 0}, 9, 7, 0.0285, 0.0185, 2.4); }
RingShape Hip() { return Ring({0.0210, 0.0015, 0.0015}, {0, -1, 0}, {1, 0, 0}, 3, 5, 0.0140, 0.0155); }
RingShape Knee() { return Ring({0.0175, -0.0865, 0.0005}, {-0.02, -1, -0.01}, {1, 0, 0}, 4, 4, 0.0090, 0.0094); }
RingShape Ankle() { return Ring({0.0170, -0.1625, 0.0055}, {0, -1, 0.02}, {1, 0, 0}, 4, 4, 0.0054, 0.0060); }
RingShape Elbow() { return Ring({0.0570, 0.0455, 0.0040}, {0.13, -1, 0.02}, {0, 0, 1}, 4, 4, 0.0074, 0.0070); }
RingShape Wrist() { return Ring({0.0630, -0.0040, -0.0020}, {0.05, -1, -0.06}, {0, 0, 1}, 4, 4, 0.0066, 0.0042); }

RingShape Scaled(RingShape shape, double factor) {
    shape.ra *= factor;
    shape.rb *= factor;
    if (shape.rbNegative >= 0) shape.rbNegative *= factor;
    return shape;
}

RingShape Moved(RingShape shape, Vec3 offset) {
    shape.centre += offset;
    return shape;
}

}  // namespace library::seams
