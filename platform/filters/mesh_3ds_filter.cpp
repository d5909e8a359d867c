#include "platform/filters/mesh_3ds_filter.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "core/objects/class_builder.h"
#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "core/streams/stream_primitives.h"
#include "core/system/log.h"
#include "platform/device.h"
#include "platform/filters/three_ds_image.h"

extern "C" {
#include <lib3ds/file.h>
#include <lib3ds/io.h>
#include <lib3ds/mesh.h>
}

const ClassInfo& TMesh3DSFilter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TMesh3DSFilter>("TMesh3DSFilter").build();
  return info;
}

namespace {
[[noreturn]] void Damaged(const char* what) { throw EReadError(std::string(what)); }

// lib3ds reads the clean file from memory.
struct MemoryInput {
  const std::vector<uint8_t>* bytes;
  long position = 0;
};

Lib3dsBool NoError(void*) { return LIB3DS_FALSE; }

long Seek(void* self, long offset, Lib3dsIoSeek origin) {
  auto* in = static_cast<MemoryInput*>(self);
  const long size = static_cast<long>(in->bytes->size());
  const long base = origin == LIB3DS_SEEK_SET ? 0 : origin == LIB3DS_SEEK_CUR ? in->position : size;
  const long target = base + offset;
  if (target < 0 || target > size) return -1;
  in->position = target;
  return 0;
}

long Tell(void* self) { return static_cast<MemoryInput*>(self)->position; }

size_t Read(void* self, void* buffer, size_t size) {
  auto* in = static_cast<MemoryInput*>(self);
  const size_t left = in->bytes->size() - static_cast<size_t>(in->position);
  const size_t count = std::min(size, left);
  std::memcpy(buffer, in->bytes->data() + in->position, count);
  in->position += static_cast<long>(count);
  return count;
}

size_t NoWrite(void*, const void*, size_t) { return 0; }

// lib3ds is loaded when the first model is read, not with the program: most
// games have no ".3ds" model and their start need not map it. It stays
// loaded from then on.
struct Lib3ds {
  decltype(&lib3ds_io_new) ioNew = nullptr;
  decltype(&lib3ds_io_free) ioFree = nullptr;
  decltype(&lib3ds_file_new) fileNew = nullptr;
  decltype(&lib3ds_file_free) fileFree = nullptr;
  decltype(&lib3ds_file_read) fileRead = nullptr;
  std::string failure;
};

template <class Function>
bool Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

Lib3ds LoadLib3ds() {
  Lib3ds lib;
  void* library = dlopen(Q_LIB3DS_SONAME, RTLD_NOW | RTLD_LOCAL);
  if (!library || !Find(library, "lib3ds_io_new", lib.ioNew) || !Find(library, "lib3ds_io_free", lib.ioFree) ||
      !Find(library, "lib3ds_file_new", lib.fileNew) || !Find(library, "lib3ds_file_free", lib.fileFree) ||
      !Find(library, "lib3ds_file_read", lib.fileRead)) {
    const char* reason = dlerror();
    lib.failure = std::string("lib3ds cannot be loaded: ") + (reason ? reason : Q_LIB3DS_SONAME);
    lib.ioNew = nullptr;
  }
  return lib;
}

const Lib3ds& TheLib3ds() {
  static const Lib3ds lib = LoadLib3ds();
  if (!lib.ioNew) Damaged(lib.failure.c_str());
  return lib;
}

using FilePtr = std::unique_ptr<Lib3dsFile, decltype(&lib3ds_file_free)>;

FilePtr ReadWithLib3ds(const std::vector<uint8_t>& clean) {
  const Lib3ds& lib = TheLib3ds();
  MemoryInput input{&clean};
  Lib3dsIo* io = lib.ioNew(&input, NoError, Seek, Tell, Read, NoWrite);
  FilePtr file(lib.fileNew(), lib.fileFree);
  const bool read = io && file && lib.fileRead(file.get(), io);
  if (io) lib.ioFree(io);
  if (!read) Damaged("lib3ds cannot read the model");
  return file;
}

TVector3F Minus(const TVector3F& a, const TVector3F& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
TVector3F Cross(const TVector3F& a, const TVector3F& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}

void AddObject(const Lib3dsMesh& mesh, TImportedModel& model) {
  const size_t base = model.positions.size();
  for (Lib3dsDword i = 0; i < mesh.points; ++i) {
    const float* p = mesh.pointL[i].pos;
    model.positions.push_back({p[0], p[1], p[2]});
    model.normals.push_back({});
    const bool hasTexel = i < mesh.texels && mesh.texelL;
    model.texCoords.push_back(hasTexel ? TTexCoord{mesh.texelL[i][0], 1 - mesh.texelL[i][1]} : TTexCoord{0, 0});
  }
  for (Lib3dsDword f = 0; f < mesh.faces; ++f) {
    const Lib3dsWord* corners = mesh.faceL[f].points;  // within the points: see three_ds_image.h
    const TVector3F& a = model.positions[base + corners[0]];
    const TVector3F& b = model.positions[base + corners[1]];
    const TVector3F& c = model.positions[base + corners[2]];
    const TVector3F normal = Cross(Minus(a, b), Minus(c, b));
    for (int k = 0; k < 3; ++k) {
      model.normals[base + corners[k]] = normal;
      model.indices.push_back(static_cast<int64_t>(base + corners[k]));
    }
  }
}

// A vertex no face reaches keeps a zero normal.
void Normalise(std::vector<TVector3F>& normals) {
  for (TVector3F& n : normals) {
    const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    if (length > 0) n = {n.x / length, n.y / length, n.z / length};
  }
}
}  // namespace

TImportedModel build3DSArrays(TStream& stream) {
  const int64_t size = stream.Remaining();
  if (size <= 0) Damaged("not a 3DS file");
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  StreamRead(stream, bytes.data(), size);
  const FilePtr file = ReadWithLib3ds(CleanThreeDsImage(bytes));
  TImportedModel model;
  for (const Lib3dsMesh* mesh = file->meshes; mesh; mesh = mesh->next) {
    if ((mesh->object_flags & LIB3DS_OBJECT_HIDDEN) || mesh->points <= 2) continue;
    if (model.positions.size() + mesh->points > static_cast<size_t>(kMaxIndexedVertices)) {
      Damaged("more vertices than 16-bit indices reach");
    }
    AddObject(*mesh, model);
  }
  if (model.positions.empty()) Damaged("no mesh in the model");
  Normalise(model.normals);
  model.vertexCount = static_cast<int32_t>(model.positions.size());
  return model;
}

TMesh* TMesh3DSFilter::readMesh(TResourceMan* manager, const WideString& name) {
  return readMeshWith(manager, name, [this](TStream& stream, TDevice& device) {
    const TImportedModel model = build3DSArrays(stream);
    LogInfo(u"3ds mesh was loaded");
    return CreateImportedMesh(device, model, modelScale());
  });
}
