#pragma once
// ".md3" import: all surfaces merged into one indexed mesh of positions,
// normals and texture coordinates, scaled by the applet's modelScale; a model
// of several frames becomes an animated mesh whose named animations come from
// the ".aaf" file beside it. Imports are never written back.
#include "platform/filters/abstract_filter.h"
#include "platform/filters/imported_mesh.h"

class TFileMD3;

class TMeshMD3Filter : public TMeshFilter {
  Q_OBJECT(TMeshMD3Filter, TMeshFilter)

 public:
  TMesh* readMesh(TResourceMan* manager, const WideString& name) override;

 private:
  void readAnimations(TResourceMan* manager, const WideString& name, TMesh* mesh);
};

// The model of an MD3 file: surface k's vertices follow those of the surfaces
// before it, each triangle (a, b, c) becomes (a, c, b) (the other winding),
// positions are in 1/64 units. Raises EReadError for a triangle that names a
// vertex outside its own surface.
TImportedModel MergeMD3Surfaces(const TFileMD3& file);
