#include <png.h>

#include <algorithm>
#include <chrono>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <map>


#include "core/resources/folder_resource_man.h"
#include "platform/filters/filter_registry.h"
#include "platform/filters/filter_world.h"
#include "platform/filters/filters_registration.h"
#include "platform/filters/pixmap_pixels.h"

// After the program's headers: jpeglib.h defines TRUE and FALSE, which the
// system layer declares as constants. It needs FILE declared before it.
#include <jpeglib.h>

extern "C" {
#include <lib3ds/file.h>
#include <lib3ds/mesh.h>
}

FilterWorld::FilterWorld() {
  RegisterFilters();
  device = MakeFakeDevice(&deviceHost);
  auto* folder = New<TFolderResourceMan>();
  folder->setRoot(dir.path());
  manager.reset(folder);
  filter.reset(new TFilter());
  filter->setHost(this);
  filter->Create(nullptr);
  log.clear();  // the manager's and device's start lines
}

FilterWorld::~FilterWorld() {
  filter.reset();
  manager.reset();
  device.reset();
}

std::vector<uint32_t> FilterWorld::pixels(TPixmap* pixmap) {
  TArgbImage image;
  ImageFromPixmap(device.get(), pixmap, image);
  return image.pixels;
}

void FilterWorld::age(const std::string& name, int secondsAgo) {
  const auto when = std::filesystem::file_time_type::clock::now() - std::chrono::seconds(secondsAgo);
  std::filesystem::last_write_time(dir.file(name), when);
}

// ---- PNG ------------------------------------------------------------------------------

namespace {
uint8_t Channel(uint32_t argb, int shift) { return static_cast<uint8_t>(argb >> shift); }

struct PngRows {
  std::vector<std::vector<uint8_t>> rows;
  std::vector<png_color> palette;
  std::vector<png_byte> paletteAlpha;
};

// One sample of `bits` bits, big-endian as PNG stores them.
void PutSample(std::vector<uint8_t>& row, uint8_t value, int bits) {
  row.push_back(value);
  if (bits == 16) row.push_back(value);  // v x 257: the same byte twice
}

PngRows MakeRows(int width, int height, const std::vector<uint32_t>& argb, const PngOptions& o) {
  PngRows out;
  std::map<uint32_t, uint8_t> indexOf;
  for (int y = 0; y < height; ++y) {
    std::vector<uint8_t> row;
    for (int x = 0; x < width; ++x) {
      const uint32_t p = argb[static_cast<size_t>(y * width + x)];
      switch (o.kind) {
        case PngKind::Rgb:
        case PngKind::Rgba:
          for (int shift : {16, 8, 0}) PutSample(row, Channel(p, shift), o.bitDepth);
          if (o.kind == PngKind::Rgba) PutSample(row, Channel(p, 24), o.bitDepth);
          break;
        case PngKind::Grey:
        case PngKind::GreyAlpha:
          PutSample(row, Channel(p, 8), o.bitDepth);
          if (o.kind == PngKind::GreyAlpha) PutSample(row, Channel(p, 24), o.bitDepth);
          break;
        case PngKind::Palette: {
          auto [at, added] = indexOf.emplace(p, static_cast<uint8_t>(out.palette.size()));
          if (added) {
            out.palette.push_back({Channel(p, 16), Channel(p, 8), Channel(p, 0)});
            out.paletteAlpha.push_back(Channel(p, 24));
          }
          row.push_back(at->second);
          break;
        }
      }
    }
    out.rows.push_back(std::move(row));
  }
  return out;
}

int ColourType(PngKind kind) {
  switch (kind) {
    case PngKind::Rgb: return PNG_COLOR_TYPE_RGB;
    case PngKind::Rgba: return PNG_COLOR_TYPE_RGB_ALPHA;
    case PngKind::Palette: return PNG_COLOR_TYPE_PALETTE;
    case PngKind::Grey: return PNG_COLOR_TYPE_GRAY;
    case PngKind::GreyAlpha: return PNG_COLOR_TYPE_GRAY_ALPHA;
  }
  return PNG_COLOR_TYPE_RGB;
}

void Append(png_structp png, png_bytep data, png_size_t length) {
  static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}
void NoFlush(png_structp) {}
}  // namespace

std::string PngFile(int width, int height, const std::vector<uint32_t>& argb, const PngOptions& o) {
  PngRows data = MakeRows(width, height, argb, o);
  std::vector<png_bytep> rows;
  for (auto& row : data.rows) rows.push_back(row.data());
  std::string file;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  if (setjmp(png_jmpbuf(png))) std::abort();  // the test's own data is always right
  png_set_write_fn(png, &file, Append, NoFlush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), o.bitDepth,
               ColourType(o.kind), o.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (o.kind == PngKind::Palette) {
    png_set_PLTE(png, info, data.palette.data(), static_cast<int>(data.palette.size()));
    png_set_tRNS(png, info, data.paletteAlpha.data(), static_cast<int>(data.paletteAlpha.size()), nullptr);
  }
  png_write_info(png, info);
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return file;
}

// ---- JPEG -----------------------------------------------------------------------------

std::string JpegFile(int width, int height, const std::vector<uint32_t>& argb, JpegKind kind, int quality) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr errors;
  cinfo.err = jpeg_std_error(&errors);
  jpeg_create_compress(&cinfo);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&cinfo, &buffer, &size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  const int components = kind == JpegKind::Grey ? 1 : kind == JpegKind::Cmyk ? 4 : 3;
  cinfo.input_components = components;
  cinfo.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE : kind == JpegKind::Cmyk ? JCS_CMYK : JCS_RGB;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  if (kind == JpegKind::Progressive) jpeg_simple_progression(&cinfo);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPLE> row(static_cast<size_t>(width * components));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const uint32_t p = argb[static_cast<size_t>(y * width + x)];
      JSAMPLE* out = &row[static_cast<size_t>(x * components)];
      if (kind == JpegKind::Grey) {
        out[0] = Channel(p, 8);
      } else if (kind == JpegKind::Cmyk) {
        out[0] = Channel(~p, 16), out[1] = Channel(~p, 8), out[2] = Channel(~p, 0), out[3] = 0;
      } else {
        out[0] = Channel(p, 16), out[1] = Channel(p, 8), out[2] = Channel(p, 0);
      }
    }
    JSAMPROW rows[1] = {row.data()};
    jpeg_write_scanlines(&cinfo, rows, 1);
  }
  jpeg_finish_compress(&cinfo);
  std::string file(reinterpret_cast<char*>(buffer), size);
  jpeg_destroy_compress(&cinfo);
  std::free(buffer);
  return file;
}

std::vector<uint32_t> Blocks(int width, int height, int block, const std::vector<uint32_t>& colours) {
  std::vector<uint32_t> pixels(static_cast<size_t>(width * height));
  const int across = (width + block - 1) / block;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      pixels[static_cast<size_t>(y * width + x)] = colours[static_cast<size_t>((y / block) * across + x / block) % colours.size()];
    }
  }
  return pixels;
}

// ---- models ------------------------------------------------------------------------------

namespace {
void PutInt(std::string& out, int32_t v) { out.append(reinterpret_cast<const char*>(&v), 4); }
void PutFloat(std::string& out, float v) { out.append(reinterpret_cast<const char*>(&v), 4); }
void PutShort(std::string& out, int v) {
  const auto w = static_cast<uint16_t>(v);
  out.append(reinterpret_cast<const char*>(&w), 2);
}
void PutName(std::string& out, const std::string& name) {
  std::string field = name;
  field.resize(64, '\0');
  out += field;
}
}  // namespace

std::string Md3File(int frames, const std::vector<Md3Surface>& surfaces, const char* ident, int32_t version) {
  std::string file(ident, 4);
  PutInt(file, version);
  PutName(file, "model");
  const int32_t surfacesAt = 108 + 56 * frames;
  for (int32_t v : {0, frames, 0, static_cast<int32_t>(surfaces.size()), 0, 108, surfacesAt, surfacesAt, 0}) {
    PutInt(file, v);  // flags, frames, tags, surfaces, skins, frame, tag, surface and end offsets
  }
  const size_t endAt = file.size() - 4;
  file.append(static_cast<size_t>(56 * frames), '\0');
  for (size_t s = 0; s < surfaces.size(); ++s) {
    const Md3Surface& surface = surfaces[s];
    const int surfaceFrames = surface.frames < 0 ? frames : surface.frames;
    const int32_t shaders = 108, triangles = shaders + 68;
    const int32_t texCoords = triangles + 12 * static_cast<int32_t>(surface.triangles.size());
    const int32_t vertices = texCoords + 8 * surface.vertices;
    const int32_t end = vertices + 8 * surface.vertices * surfaceFrames;
    file += "IDP3";
    PutName(file, "surface" + std::to_string(s));
    for (int32_t v : {0, surfaceFrames, 1, surface.vertices, static_cast<int32_t>(surface.triangles.size()), triangles,
                      shaders, texCoords, vertices, end}) {
      PutInt(file, v);
    }
    PutName(file, "skin");
    PutInt(file, 0);
    for (const auto& t : surface.triangles) {
      for (int32_t corner : t) PutInt(file, corner);
    }
    for (int i = 0; i < surface.vertices; ++i) {
      PutFloat(file, static_cast<float>(i) / 10);
      PutFloat(file, static_cast<float>(s) / 2);
    }
    for (int f = 0; f < surfaceFrames; ++f) {
      for (int i = 0; i < surface.vertices; ++i) {
        for (int v : {64 * (i + f), 64 * static_cast<int>(s), -64 * i, i * 37 + f}) PutShort(file, v);
      }
    }
  }
  const auto total = static_cast<int32_t>(file.size());
  std::memcpy(&file[endAt], &total, 4);
  return file;
}

std::string ThreeDsFile(const std::vector<ThreeDsObject>& objects) {
  Lib3dsFile* file = lib3ds_file_new();
  Lib3dsMesh** tail = &file->meshes;
  for (const ThreeDsObject& object : objects) {
    Lib3dsMesh* mesh = lib3ds_mesh_new(object.name.c_str());
    lib3ds_mesh_new_point_list(mesh, static_cast<Lib3dsDword>(object.points.size()));
    for (size_t i = 0; i < object.points.size(); ++i) {
      mesh->pointL[i].pos[0] = object.points[i].x;
      mesh->pointL[i].pos[1] = object.points[i].y;
      mesh->pointL[i].pos[2] = object.points[i].z;
    }
    if (!object.texels.empty()) {
      lib3ds_mesh_new_texel_list(mesh, static_cast<Lib3dsDword>(object.texels.size()));
      for (size_t i = 0; i < object.texels.size(); ++i) {
        mesh->texelL[i][0] = object.texels[i].u;
        mesh->texelL[i][1] = object.texels[i].v;
      }
    }
    lib3ds_mesh_new_face_list(mesh, static_cast<Lib3dsDword>(object.faces.size()));
    for (size_t i = 0; i < object.faces.size(); ++i) {
      for (int k = 0; k < 3; ++k) mesh->faceL[i].points[k] = object.faces[i][static_cast<size_t>(k)];
    }
    if (object.hidden) mesh->object_flags |= LIB3DS_OBJECT_HIDDEN;
    // Linked by hand in the given order: lib3ds_file_insert_mesh sorts by name.
    *tail = mesh;
    tail = &mesh->next;
  }
  TempDir temporary;
  const std::string path = temporary.file("model.3ds");
  const bool saved = lib3ds_file_save(file, path.c_str());
  lib3ds_file_free(file);
  return saved ? temporary.read("model.3ds") : std::string();
}

bool NearArgb(uint32_t a, uint32_t b, int tolerance) {
  for (int shift = 0; shift < 32; shift += 8) {
    if (std::abs(static_cast<int>(Channel(a, shift)) - static_cast<int>(Channel(b, shift))) > tolerance) return false;
  }
  return true;
}
