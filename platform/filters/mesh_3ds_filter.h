#pragma once
// ".3ds" import through lib3ds: every visible mesh object of more than two
// points, in the file's order, merged into one indexed mesh of positions,
// flat face normals and texture coordinates (v turned upside down), scaled by
// the applet's modelScale. Imports are never written back.
#include "platform/filters/abstract_filter.h"
#include "platform/filters/imported_mesh.h"

class TMesh3DSFilter : public TMeshFilter {
  Q_OBJECT(TMesh3DSFilter, TMeshFilter)

 public:
  TMesh* readMesh(TResourceMan* manager, const WideString& name) override;
};

// The model of a 3DS file read from the stream's position: for each face
// (a, b, c) the normal (P[a] - P[b]) x (P[c] - P[b]) is given to its three
// vertices (a later face overwriting an earlier one), then every vertex
// normal is made unit length. Raises EReadError for data lib3ds is not given
// (see three_ds_image.h) or does not read, and for a face that names a point
// its object lacks.
TImportedModel build3DSArrays(TStream& stream);
