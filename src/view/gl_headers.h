// The one place the view includes the OpenGL and GLU headers. The view
// library links neither: each program picks the GL implementation.
#pragma once

#include <GL/gl.h>
#include <GL/glu.h>
