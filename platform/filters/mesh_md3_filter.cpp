#include "platform/filters/mesh_md3_filter.h"

#include <string>

#include "core/objects/class_builder.h"
#include "core/resources/resource_man.h"
#include "core/resources/stream.h"
#include "core/system/log.h"
#include "core/text/text_helpers.h"
#include "platform/device.h"
#include "platform/filters/animation_list.h"
#include "platform/filters/md3_file.h"

const ClassInfo& TMeshMD3Filter::staticClassInfo() {
  static const ClassInfo info = ClassBuilder<TMeshMD3Filter>("TMeshMD3Filter").build();
  return info;
}

TImportedModel MergeMD3Surfaces(const TFileMD3& file) {
  TImportedModel model;
  model.frameCount = file.frameCount();
  int64_t total = 0;
  for (const TMD3Surface& surface : file.surfaces()) total += surface.vertexCount;
  if (total > kMaxIndexedVertices) throw EReadError(std::string("more vertices than 16-bit indices reach"));
  model.vertexCount = static_cast<int32_t>(total);
  model.positions.resize(static_cast<size_t>(total) * static_cast<size_t>(model.frameCount));
  model.normals.resize(model.positions.size());
  int64_t base = 0;
  for (const TMD3Surface& surface : file.surfaces()) {
    model.texCoords.insert(model.texCoords.end(), surface.texCoords.begin(), surface.texCoords.end());
    for (const auto& [a, b, c] : surface.triangles) {
      for (int32_t corner : {a, c, b}) {
        if (corner < 0 || corner >= surface.vertexCount) throw EReadError(std::string("a triangle outside its surface"));
        model.indices.push_back(corner + base);
      }
    }
    for (int32_t frame = 0; frame < model.frameCount; ++frame) {
      for (int32_t i = 0; i < surface.vertexCount; ++i) {
        const TMD3Vertex& v = surface.vertices[static_cast<size_t>(frame) * surface.vertexCount + i];
        const size_t at = static_cast<size_t>(frame) * static_cast<size_t>(total) + static_cast<size_t>(base + i);
        model.positions[at] = MakeVector3F(v.x / 64.0f, v.y / 64.0f, v.z / 64.0f);
        model.normals[at] = decodeMD3Normal(v.normal);
      }
    }
    base += surface.vertexCount;
  }
  return model;
}

TMesh* TMeshMD3Filter::readMesh(TResourceMan* manager, const WideString& name) {
  TMesh* mesh = readMeshWith(manager, name, [&](TStream& stream, TDevice& device) {
    TFileMD3 file;
    file.read(stream);
    const TImportedModel model = MergeMD3Surfaces(file);
    const bool animated = model.frameCount > 1;
    LogInfo(u"mesh " + name + u" have " + AnsiToWide(std::to_string(model.frameCount)) +
            (animated ? u" and loaded as dynamic" : u" and loaded as static"));
    return CreateImportedMesh(device, model, modelScale());
  });
  if (mesh && mesh->animated) readAnimations(manager, name, mesh);
  return mesh;
}

void TMeshMD3Filter::readAnimations(TResourceMan* manager, const WideString& name, TMesh* mesh) {
  const WideString listName = StripExtensionW(name) + u".aaf";
  if (!manager->streamExists(listName)) return;
  TStreamPtr stream = OpenFilterStream(manager, listName, fmOpenRead);
  if (!stream) return;
  std::string text(static_cast<size_t>(std::max<int64_t>(stream->Remaining(), 0)), '\0');
  text.resize(static_cast<size_t>(std::max<int64_t>(stream->Read(text.data(), static_cast<int64_t>(text.size())), 0)));
  std::string error;
  if (!ParseAnimationList(text, mesh->animations, error)) LogFilterError(listName, error);
}
