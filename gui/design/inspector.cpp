#include "gui/design/inspector.h"

#include <algorithm>
#include <cmath>

#include "core/objects/wide_strings.h"
#include "core/system/log.h"
#include "engine/media/font_persistent.h"
#include "gui/skinned/dropdown.h"
#include "gui/skinned/edit.h"
#include "gui/widgets/widget_drawing.h"
#include "platform/device.h"

namespace {
constexpr TColorARGB kSelectedName = 0x660000FFu;
// Light on the skin's dark list field.
constexpr TColorARGB kInk = 0xFFE6EBF1u;
// How much further right a sub-object's rows start.
constexpr float kIndent = 10;

bool SameRow(const InspectorRow& a, const InspectorRow& b) { return a.name == b.name && a.path == b.path; }

// The text an editor edits: a wide string as it stands, anything else as its
// row shows it.
WideString EditedText(TObject* object, const PropInfo& prop) {
  return prop.kind() == TypeKind::WideText ? GetWideStrProp(object, prop) : RowValue(object, prop);
}

// A name or value in the row's half: one line, cut where the half ends so
// that it runs into neither the next half nor the rows below.
void DrawRowText(TDevice* device, TFontPersistent* font, const WideString& text, const TRectF& rect) {
  TFont* deviceFont = font && !text.empty() ? font->getFont() : nullptr;
  if (!deviceFont) return;
  TRectF area = rect;
  device->DrawTextFit(deviceFont, OneLineText(text), kInk, kTextMiddle, area);
}
}  // namespace

const ClassInfo& Inspector::staticClassInfo() {
  using I = Inspector;
  static const ClassInfo info = ClassBuilder<I>("Inspector")
                                    .property("root", &I::root, &I::setRoot).stored(false)
                                    .property("rootByName", &I::rootByName, &I::setRootByName).stored(false)
                                    .method("rebuild", &I::rebuild)
                                    .build();
  return info;
}

void Inspector::Create(TObject* owner) {
  inherited::Create(owner);
  font()->setFontName(u"system");
  // Every row is a property to edit: none is drawn as past an enabled count.
  setEnabledCount(0);
}

void Inspector::Destroy() {
  freeEditor();
  inherited::Destroy();
}

void Inspector::objectRemoved(BaseObject* object) {
  inherited::objectRemoved(object);
  if (object == editor_) editor_ = nullptr;
  if (object == root_) {
    root_ = nullptr;
    rows_.clear();
    if (items()) items()->clear();
    freeEditor();
  }
}

// ---- rows ----------------------------------------------------------------------------------

void Inspector::setRoot(BaseObject* value) {
  if (value == root_) return;
  freeEditor();
  unwatchRemovalOf(root_);
  root_ = value;
  watchRemovalOf(root_);
  rebuild();
}

WideString Inspector::rootByName() const { return root_ ? root_->name() : WideString(); }

void Inspector::setRootByName(const WideString& name) {
  BaseObject* applet = this->applet();
  setRoot(applet ? applet->findByName(name) : nullptr);
}

void Inspector::rebuild() {
  if (!root_ || !items()) return;
  rows_ = BuildInspectorRows(root_);
  items()->beginUpdate();
  items()->clear();
  for (const InspectorRow& row : rows_) items()->addObject(row.name + u"=" + row.value, RowObject(root_, row));
  items()->endUpdate();
  refreshEditor();
  update();
}

bool Inspector::rowTarget(int32_t index, TObject*& object, const PropInfo*& prop) const {
  if (!root_ || index < 0 || index >= static_cast<int32_t>(rows_.size())) return false;
  const InspectorRow& row = rows_[static_cast<size_t>(index)];
  object = RowObject(root_, row);
  prop = RowProperty(object, row);
  return object && prop;
}

// ---- the editor --------------------------------------------------------------------------------

void Inspector::setItemIndex(int32_t index) {
  inherited::setItemIndex(index);
  editSelected();
}

void Inspector::mouseWheel(uint8_t shift, int32_t delta) {
  inherited::mouseWheel(shift, delta);
  editSelected();
}

void Inspector::freeEditor() {
  GuiObject* editor = editor_;
  if (!editor) return;
  editor_ = nullptr;
  unwatchRemovalOf(editor);
  editor->Free();
}

void Inspector::editSelected() {
  freeEditor();
  TObject* object = nullptr;
  const PropInfo* prop = nullptr;
  if (!rowTarget(itemIndex(), object, prop)) return;
  // A row scrolled out of the list has no place for its editor: it would
  // float over the form's title.
  clampTopIndex();
  if (itemIndex() < topIndex() || itemIndex() >= topIndex() + std::max(rowCount(), 0)) return;
  const WideString value = RowValue(object, *prop);
  // A sub-object's rows follow its own; an object reference is not typed in.
  if (!value.empty() && value.front() == u'(') return;
  if (prop->kind() == TypeKind::Object) return;
  if (prop->kind() == TypeKind::Enumeration) {
    editor_ = makeDropdown(object, *prop);
  } else {
    editor_ = makeEdit(object, *prop);
  }
  editedRow_ = rows_[static_cast<size_t>(itemIndex())];
  watchRemovalOf(editor_);
  const TRectF r = itemRect(itemIndex());
  editor_->setRect(MakeRectF(std::trunc((r.right - r.left) / 2), r.top, r.right, r.bottom));
  editor_->font()->setFontName(u"system");
}

TStdDropdown* Inspector::makeDropdown(TObject* object, const PropInfo& prop) {
  // Drawn from the skin, as the rows are: the plain drop-down writes white on
  // light grey while it has the pointer or the focus.
  auto* dropdown = New<Dropdown>(this);
  // The inspector makes its editors itself: storing one would double it.
  dropdown->setComponentStyle(csTransient);
  // Every name is a choice: none is drawn covered as past an enabled count.
  if (auto* list = dynamic_cast<List*>(dropdown->list())) list->setEnabledCount(0);
  const EnumInfo* names = prop.type.enumInfo;
  for (int i = 0; names && i < names->count(); ++i) dropdown->items()->add(AnsiToWide(names->nameOf(i)));
  dropdown->setText(RowValue(object, prop));
  if (dropdown->list()) dropdown->list()->onChange.set([this](TStdList* list) { applyChoice(list); });
  return dropdown;
}

TStdEdit* Inspector::makeEdit(TObject* object, const PropInfo& prop) {
  // The plain edit's light field would hide the white text.
  auto* edit = New<Edit>(this);
  edit->setComponentStyle(csTransient);
  edit->setText(OneLineText(EditedText(object, prop)));
  edit->enterCallback.set([this](TStdEdit* sender) { applyText(sender); });
  return edit;
}

void Inspector::applyText(TStdEdit* edit) {
  TObject* object = RowObject(root_, editedRow_);
  const PropInfo* prop = RowProperty(object, editedRow_);
  if (!object || !prop || edit != editor_) return;
  if (!ApplyRowText(object, *prop, LineBrokenText(edit->text(), EditedText(object, *prop)))) {
    LogError(u"Inspector: invalid value \"" + edit->text() + u"\" for " + editedRow_.name);
  }
  rebuild();
}

void Inspector::applyChoice(TStdList* list) {
  TObject* object = RowObject(root_, editedRow_);
  const PropInfo* prop = RowProperty(object, editedRow_);
  if (!object || !prop || !list || list->itemIndex() < 0) return;
  SetOrdProp(object, *prop, list->itemIndex());
  rebuild();
}

void Inspector::refreshEditor() {
  if (!editor_) return;
  TObject* object = RowObject(root_, editedRow_);
  const PropInfo* prop = RowProperty(object, editedRow_);
  bool shown = false;
  for (const InspectorRow& row : rows_) shown = shown || SameRow(row, editedRow_);
  // Freed at the next change of row: it may be running its own handler now.
  editor_->setVisible(shown && object && prop);
  if (!shown || !object || !prop) return;
  editor_->setText(OneLineText(EditedText(object, *prop)));
}

// ---- drawing --------------------------------------------------------------------------------

void Inspector::paintItem(int32_t index, const TRectF& rect) {
  if (index < 0 || index >= static_cast<int32_t>(rows_.size())) return;
  TDevice* device = WidgetDevice(this);
  if (!device) return;
  const InspectorRow& row = rows_[static_cast<size_t>(index)];
  const float half = std::trunc((rect.right - rect.left) / 2);
  TRectF name = MakeRectF(rect.left, rect.top, half - 1, rect.bottom);
  if (index == itemIndex()) FillArea(device, name, kSelectedName);
  name = MakeRectF(name.left + 1 + (row.depth() > 0 ? kIndent : 0), name.top + 2, name.right - 1, name.bottom - 2);
  const bool nested = !row.value.empty() && row.value.front() == u'(';
  DrawRowText(device, font(), nested ? u"+" + row.name : row.name, name);
  DrawRowText(device, font(), row.value, MakeRectF(half + 1, rect.top + 2, rect.right - 1, rect.bottom - 2));
  OutlineArea(device, MakeRectF(half - 1, 0, half, height()), kInk);
}
