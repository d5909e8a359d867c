#pragma once
// What of a ".3ds" file the mesh import hands to lib3ds.
//
// A 3DS file is a tree of chunks (a 16-bit id and a 32-bit length that
// counts the 6-byte header). lib3ds trusts those lengths and the counts
// inside (a zero length loops for ever, a large key count allocates without
// limit, a face corner past the points reads past them), so the import never
// gives it the file itself: it walks the file's chunks, checking every length
// against its parent, every count against its chunk and every face corner
// against the points, and copies the mesh objects into a clean file that
// lib3ds then reads. The clean file holds, for each named object with a
// triangle mesh, in the file's order: the hidden flag, the points, the
// texture coordinates and the faces. Each object is named by its place in the
// file ("00000", "00001" ...), because lib3ds keeps its meshes sorted by
// name: the names keep the file's order, so the meshes and their converted
// copies come out the same on every import.
#include <cstdint>
#include <vector>

// The clean file; raises EReadError when the file is not a 3DS file or a
// chunk or count does not fit where it stands.
std::vector<uint8_t> CleanThreeDsImage(const std::vector<uint8_t>& file);
