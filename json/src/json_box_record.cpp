#include "velto/json_box_record.h"

#include "json_helpers_internal.h"
#include "velto/json_exceptions.h"
#include "velto/json_handles.h"
#include "velto/json_helpers.h"
#include "velto/json_stringifier.h"

namespace velto {

TJSONBox MakeBox(JSONValue* content, JSONValue* parent, std::u16string path, int32_t index,
                 TJSONBoxError error) {
  TJSONBox box;
  box.Content = content;
  box.Parent = parent;
  box.Path = std::move(path);
  box.Index = index;
  box.Error = error;
  return box;
}

TJSONBox TJSONBox::Create(const Variant& value) {
  return TJSONBox().Fill(value);
}

TJSONBox TJSONBox::Fill(const Variant& value) {
  JSONValuePtr made = value.IsNull() ? nullptr : JSONValueFrom(value);
  Free();
  Content = made.release();  // a root box owns its Content until Free
  return *this;
}

void TJSONBox::Free() noexcept {
  if (!Parent) {
    const JSONValuePtr owned(Content);
  }
  *this = TJSONBox();
}

int32_t TJSONBox::GetCount() const {
  if (!Content || !Content->IsArray()) throw ETypeMismatch();
  return static_cast<int32_t>(Content->Elements().size());
}

TJSONBox TJSONBox::Get(const TJSONLocation& location) const {
  switch (location.Kind) {
    case jlkPath:
      return JSONBoxCheck(TJSONObjectHelper::Get(Content, location.Path));
    case jlkIndex:
      return JSONBoxCheck(TJSONArrayHelper::Get(Content, location.Index));
    default:
      throw EArgumentInvalid();
  }
}

bool TJSONBox::Exists(const TJSONLocation& location) const {
  switch (location.Kind) {
    case jlkPath:
      return TJSONObjectHelper::Exists(Content, location.Path);
    case jlkIndex:
      return TJSONArrayHelper::Exists(Content, location.Index);
    default:
      throw EArgumentInvalid();
  }
}

TJSONBox TJSONBox::Put(std::u16string_view path, const Variant& value) const {
  return JSONBoxCheck(TJSONObjectHelper::Put(Content, path, value));
}

TJSONBox TJSONBox::Put(int32_t index, const Variant& value) const {
  return JSONBoxCheck(TJSONArrayHelper::Put(Content, index, value));
}

TJSONBox TJSONBox::Push(const Variant& value) const {
  return JSONBoxCheck(TJSONArrayHelper::Push(Content, value));
}

TJSONBox TJSONBox::Push(std::span<const Variant> values) const {
  if (Content && Content->IsArray()) {
    for (const Variant& value : values) TJSONArrayHelper::Push(Content, value);
  }
  return *this;
}

void TJSONBox::Delete(std::u16string_view path) const {
  TJSONObjectHelper::Delete(Content, path);
}

void TJSONBox::Delete(int32_t index) const {
  TJSONArrayHelper::Delete(Content, index);
}

TJSONBox TJSONBox::operator<=(const Variant& right) const {
  if (!Parent) throw ETypeMismatch();
  const TJSONBox container = MakeBox(Parent, nullptr, u"", -1, jbeNone);
  return Parent->IsObject() ? container.Put(Path, right) : container.Put(Index, right);
}

TJSONBox TJSONBox::operator<=(const TJSONBox& right) const {
  if (!Parent || !right.Content) throw ETypeMismatch();
  const ValueMaker copy = [&] { return right.Content->Clone(); };
  if (Parent->IsObject()) return PutInObject(Parent, Path, copy);
  // Unlike a Variant written there, the copy names the place as it was asked for, also the
  // append place -1.
  TJSONBox written = PutInArray(Parent, Index, copy);
  written.Index = Index;
  return written;
}

std::u16string TJSONBox::Stringify() const {
  return Content ? TJSONStringifier::Execute(Content) : std::u16string();
}

TJSONBox JSONBoxCheck(const TJSONBox& value) {
  if (!TJSONBox::Check) return value;
  switch (value.Error) {
    case jbeTypeMismatch:
      throw ETypeMismatch();
    case jbePathNotFound:
      throw EPathNotFound();
    case jbeIndexOutOfBounds:
      throw EIndexOutOfBounds(value.Index);
    default:
      return value;
  }
}

}  // namespace velto
