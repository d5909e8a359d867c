#pragma once
// Geometry value types and routines: colours, points, rectangles, vectors,
// matrices, bounding volumes, frusta, vertex layouts, rays and planes.
// Include this one header; the parts below are split by concept.
#include "core/geometry/geometry_color.h"
#include "core/geometry/geometry_matrix.h"
#include "core/geometry/geometry_records.h"
#include "core/geometry/geometry_rect.h"
#include "core/geometry/geometry_scalar.h"
#include "core/geometry/geometry_vector.h"
#include "core/geometry/geometry_volume.h"
