#pragma once
// `Background`: a picture file stretched over the widget. The picture is
// read into device pixmaps of its own: one of the picture's size when both
// sides are powers of two, or two pieces (1024 x 512 and 1024 x 128) for a
// picture of exactly 800 x 600; a picture of any other size draws nothing,
// as the log says.
#include <vector>

#include "gui/gui_object.h"

class TPixmap;
struct TArgbImage;

class Background : public GuiObject {
  Q_OBJECT(Background, GuiObject)

 public:
  void Create(TObject* owner) override;
  void Destroy() override;
  void drawSelf() override;

  const WideString& imageFileName() const { return imageFileName_; }
  // Reads the picture and makes its pixmaps; a picture that cannot be read
  // clears the name.
  void setImageFileName(const WideString& name);

  // One drawn part: a source rect of a pixmap onto a rect of the picture.
  struct Piece {
    TRectF source;
    TRectF destination;
    int32_t pixmap;
  };
  const std::vector<Piece>& pieces() const { return pieces_; }
  int32_t imageWidth() const { return imageWidth_; }
  int32_t imageHeight() const { return imageHeight_; }

 protected:
  void destroyPixmaps();

 private:
  bool readImage(const WideString& name, TArgbImage& image);
  // A device pixmap of the size holding the picture's rows from `firstRow`.
  TPixmap* pixmapOfRows(const TArgbImage& image, int32_t width, int32_t height, int32_t firstRow);
  void drawPiece(const Piece& piece);
  void reportUnshownSize(const WideString& name, const TArgbImage& image);

  WideString imageFileName_;
  int32_t imageWidth_ = 0;
  int32_t imageHeight_ = 0;
  std::vector<TPixmap*> pixmaps_;
  std::vector<Piece> pieces_;
};
