#pragma once
// Geometry value types and routines: colours, points, rectangles, vectors,
// matrices, bounding volumes, frusta, vertex layouts, rays and planes.
// Include this one header; the parts below are split by concept.
#include "core/geometry_color.h"
#include "core/geometry_matrix.h"
#include "core/geometry_records.h"
#include "core/geometry_rect.h"
#include "core/geometry_scalar.h"
#include "core/geometry_vector.h"
#include "core/geometry_volume.h"
