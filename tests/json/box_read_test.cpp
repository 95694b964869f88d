#include <gtest/gtest.h>

#include <concepts>
#include <string>
#include <utility>

#include "json_test_support.h"
#include "velto/json_box.h"

namespace velto {
namespace {

using testing::Doc;
using testing::MessageOf;
using testing::ScopedSettings;
using testing::ScopedValue;
using testing::Unchecked;

struct KindCase {
  std::u16string member;  // JSON text of the member a, or empty for no member
  TJSONBoxKind kind;
};

class BoxKind : public ::testing::TestWithParam<KindCase> {};

TEST_P(BoxKind, ClassifiesTheMember) {
  const KindCase& c = GetParam();
  Doc doc(c.member.empty() ? u"{}" : u"{\"a\":" + c.member + u"}");
  EXPECT_EQ(doc.box[u"a"].Kind(), c.kind);
  EXPECT_EQ(doc.box[u"a"].Error, jbeNone);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoxKind,
    ::testing::Values(KindCase{u"", jbkNull}, KindCase{u"null", jbkUnknown},
                      KindCase{u"{}", jbkObject}, KindCase{u"[]", jbkArray},
                      KindCase{u"\"15\"", jbkString}, KindCase{u"true", jbkBoolean},
                      KindCase{u"false", jbkBoolean}, KindCase{u"1", jbkInteger},
                      KindCase{u"1.0", jbkInteger}, KindCase{u"1e2", jbkInteger},
                      KindCase{u"1.5e20", jbkFloat}, KindCase{u"1.5", jbkFloat},
                      KindCase{u"1e-5", jbkInteger}, KindCase{u"-0.25", jbkFloat}),
    testing::NamedBy<&KindCase::member>());

struct ReadFailure {
  std::u16string json;
  Variant location;
  std::u16string message;  // raised with Check on
  TJSONBoxError error;     // reported with Check off
  bool parentIsStart;      // the box names the container it started from
  std::u16string path;     // Path of the reported box
  int32_t index;           // Index of the reported box
};

class BoxReadFailure : public ::testing::TestWithParam<ReadFailure> {};

TEST_P(BoxReadFailure, RaisesOrReports) {
  const ReadFailure& c = GetParam();
  Doc doc(c.json);
  EXPECT_EQ(MessageOf([&] { doc.box.Get(c.location); }), c.message);

  const TJSONBox result = Unchecked([&] { return doc.box[c.location]; });
  EXPECT_EQ(result.Error, c.error);
  EXPECT_EQ(result.Content, nullptr);
  EXPECT_EQ(result.Parent, c.parentIsStart ? doc.box.Content : nullptr);
  EXPECT_EQ(result.Path, c.path);
  EXPECT_EQ(result.Index, c.index);
}

INSTANTIATE_TEST_SUITE_P(
    Table, BoxReadFailure,
    ::testing::Values(
        ReadFailure{u"{}", u"a.b", u"Path was not found", jbePathNotFound, true, u"a.b", -1},
        ReadFailure{u"{\"a\":5}", u"a.b", u"Path was not found", jbePathNotFound, true, u"a.b", -1},
        ReadFailure{u"{\"a\":[]}", u"a.b.c", u"Path was not found", jbePathNotFound, true, u"a.b.c",
                    -1},
        ReadFailure{u"[1,2]", 2, u"Index out of bounds (2)", jbeIndexOutOfBounds, true, u"", 2},
        ReadFailure{u"[1,2]", -1, u"Index out of bounds (-1)", jbeIndexOutOfBounds, true, u"", -1},
        ReadFailure{u"[1,2]", u"a", u"Type mismatch", jbeTypeMismatch, false, u"", -1},
        ReadFailure{u"{\"a\":1}", 0, u"Type mismatch", jbeTypeMismatch, false, u"", 0}),
    testing::NamedBy<&ReadFailure::json>());

TEST(BoxRead, MissingLastMemberIsNoError) {
  Doc doc(uR"({"a":{"b":1}})");
  const TJSONBox missing = doc.box[u"a.c"];
  EXPECT_EQ(missing.Content, nullptr);
  EXPECT_EQ(missing.Parent, doc.box[u"a"].Content);
  EXPECT_EQ(missing.Path, u"c");
  EXPECT_EQ(missing.AsString(), u"");
  EXPECT_EQ(missing.AsInteger(), 0);
  EXPECT_FALSE(missing.AsBoolean());
  EXPECT_EQ(doc.box[u"..a..b."].AsInteger(), 1);
}

TEST(BoxRead, LocationsFromUnsupportedKindsAreInvalidArguments) {
  Doc doc(u"[1]");
  for (const Variant& location : {Variant(int64_t{0}), Variant(uint64_t{0}), Variant(1.0),
                                  Variant(true), Variant::Null(), Variant()}) {
    EXPECT_EQ(MessageOf([&] { doc.box.Get(location); }), u"Argument is invalid");
  }
  EXPECT_EQ(doc.box[uint32_t{0}].AsInteger(), 1);
  EXPECT_EQ(doc.box[int8_t{0}].AsInteger(), 1);
  EXPECT_EQ(TJSONLocation(std::string("a.b")).Path, u"a.b") << "narrow text is a path too";
  EXPECT_EQ(TJSONLocation(Variant::WideString(u"w")).Kind, jlkPath);
  EXPECT_EQ(TJSONLocation(uint32_t{0xFFFFFFFF}).Index, -1);
  for (const auto& use : std::initializer_list<std::function<void()>>{
           [&] { doc.box.Get(TJSONLocation()); }, [&] { doc.box.Exists(TJSONLocation()); },
           [&] { doc.box.Get(TJSONLocation(), int64_t{1}); }}) {
    EXPECT_EQ(MessageOf(use), u"Argument is invalid");
  }
}

TEST(BoxRead, ExistsByPathAndIndex) {
  Doc doc(uR"({"a":null,"b":{"c":[1]}})");
  EXPECT_TRUE(doc.box.Exists(u"a")) << "a member holding null exists";
  EXPECT_TRUE(doc.box.Exists(u"b.c"));
  EXPECT_FALSE(doc.box.Exists(u"b.x"));
  EXPECT_FALSE(doc.box.Exists(u"x.c"));
  EXPECT_FALSE(doc.box[u"a"].Exists(u"x")) << "no object";
  EXPECT_TRUE(doc.box[u"b.c"].Exists(0));
  EXPECT_FALSE(doc.box[u"b.c"].Exists(1));
  EXPECT_FALSE(doc.box[u"b.c"].Exists(-1));
  EXPECT_FALSE(doc.box.Exists(0)) << "no array";
}

TEST(BoxRead, DuplicateNamesActOnTheFirst) {
  Doc doc(uR"({"a":1,"b":0,"a":2})");
  EXPECT_EQ(doc.box[u"a"].AsInteger(), 1);
  doc.box.Put(u"a", 3);
  EXPECT_EQ(doc.Compact(), uR"({"a":3,"b":0,"a":2})");
  doc.box.Delete(u"a");
  EXPECT_EQ(doc.Compact(), uR"({"b":0,"a":2})");
  EXPECT_EQ(doc.box[u"a"].AsInteger(), 2);
}

TEST(BoxRead, CountOnlyOfArraysWhateverCheckSays) {
  Doc doc(uR"({"a":[1,2,3],"o":{}})");
  EXPECT_EQ(doc.box[u"a"].Count(), 3);
  const ScopedValue<bool> unchecked(TJSONBox::Check, false);
  EXPECT_EQ(MessageOf([&] { doc.box[u"o"].GetCount(); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { doc.box[u"x"].GetCount(); }), u"Type mismatch");
}

struct ConversionCase {
  std::u16string member;  // JSON text of the member a, or empty for no member
  std::u16string text;    // AsString
  int64_t integer;        // AsInteger
  double real;            // AsFloat
  bool boolean;           // AsBoolean
  std::u16string own;     // GetString
};

class BoxConversion : public ::testing::TestWithParam<ConversionCase> {};

TEST_P(BoxConversion, FollowsTheDefaults) {
  const ConversionCase& c = GetParam();
  Doc doc(c.member.empty() ? u"{}" : u"{\"a\":" + c.member + u"}");
  const TJSONBox a = doc.box[u"a"];
  EXPECT_EQ(a.AsString(), c.text);
  EXPECT_EQ(static_cast<std::u16string>(a), c.text);
  EXPECT_EQ(a.AsInteger(), c.integer);
  EXPECT_EQ(static_cast<int32_t>(a), c.integer);
  EXPECT_DOUBLE_EQ(a.AsFloat(), c.real);
  EXPECT_FLOAT_EQ(static_cast<float>(a), static_cast<float>(c.real));
  EXPECT_EQ(a.AsBoolean(), c.boolean);
  if (c.member.empty()) {
    EXPECT_EQ(MessageOf([&] { a.GetString(); }), u"Type mismatch");
  } else {
    EXPECT_EQ(a.GetString(), c.own);
  }
}

INSTANTIATE_TEST_SUITE_P(Table, BoxConversion,
                         ::testing::Values(ConversionCase{u"", u"", 0, 0, false, u""},
                                           ConversionCase{u"null", u"", 0, 0, false, u"null"},
                                           ConversionCase{u"{}", u"", 0, 0, false, u""},
                                           ConversionCase{u"[1]", u"", 0, 0, false, u""},
                                           ConversionCase{u"true", u"", 0, 0, true, u"true"},
                                           ConversionCase{u"false", u"", 0, 0, false, u"false"},
                                           ConversionCase{u"\"15\"", u"15", 0, 0, false, u"15"},
                                           ConversionCase{u"15", u"15", 15, 15, false, u"15"},
                                           ConversionCase{u"-2147483648", u"-2147483648",
                                                          -2147483648LL, -2147483648.0, false,
                                                          u"-2147483648"}),
                         testing::NamedBy<&ConversionCase::member>());

TEST(BoxConversion, NumberCharactersThatAreNoIntegerRaise) {
  Doc doc(uR"({"f":1.5,"e":1e3,"big":3000000000,"huge":99999999999999999999})");
  EXPECT_EQ(MessageOf([&] { doc.box[u"f"].AsInteger(); }), u"'1.5' is not a valid integer value");
  EXPECT_EQ(MessageOf([&] { doc.box[u"e"].AsInteger(); }), u"'1e3' is not a valid integer value");
  EXPECT_EQ(MessageOf([&] { (void)static_cast<int32_t>(doc.box[u"big"]); }),
            u"'3000000000' is not a valid integer value");
  EXPECT_EQ(doc.box[u"big"].AsInteger(), 3000000000LL);
  EXPECT_EQ(MessageOf([&] { doc.box[u"huge"].AsInteger(); }),
            u"'99999999999999999999' is not a valid integer value");
  EXPECT_DOUBLE_EQ(doc.box[u"e"].AsFloat(), 1000);
}

TEST(BoxConversion, ToVariantByKind) {
  Doc doc(uR"({"s":"x","i":7,"f":0.5,"b":true,"n":null,"o":{}})");
  EXPECT_EQ(doc.box[u"s"].AsVariant(), Variant(u"x"));
  EXPECT_EQ(doc.box[u"i"].AsVariant(), Variant(int64_t{7}));
  EXPECT_EQ(static_cast<Variant>(doc.box[u"f"]), Variant(0.5));
  EXPECT_EQ(doc.box[u"b"].AsVariant(), Variant(true));
  for (const char16_t* path : {u"n", u"o", u"missing"}) {
    EXPECT_EQ(MessageOf([&] { doc.box[path].AsVariant(); }), u"Type mismatch")
        << static_cast<int>(path[0]);
  }
}

TEST(BoxConversion, NullDefaultsRaiseInsteadOfFallingBack) {
  ScopedSettings restore;
  Doc doc(uR"({"s":"x"})");
  TJSONDefault::String_() = Variant::Null();
  TJSONDefault::Integer_() = Variant::Null();
  TJSONDefault::Float_() = Variant::Null();
  TJSONDefault::Boolean_() = Variant::Null();
  const TJSONBox missing = doc.box[u"x"];
  EXPECT_EQ(MessageOf([&] { missing.AsString(); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { missing.AsInteger(); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { missing.AsFloat(); }), u"Type mismatch");
  EXPECT_EQ(MessageOf([&] { doc.box[u"s"].AsBoolean(); }), u"Type mismatch");
  EXPECT_EQ(doc.box[u"s"].AsString(), u"x");
  TJSONDefault::Integer_() = 42;
  EXPECT_EQ(missing.AsInteger(), 42);
}

struct DefaultCase {
  std::u16string member;  // JSON text of the member (and only element) a
  std::u16string text;    // read with the text default "d"
  int64_t integer;        // with the Int64 default -1
  double byPath;          // with the Double default 0.5, path location
  double byIndex;         // with the Double default 0.5, index location
  bool boolean;           // with the Boolean default true
};

class BoxReadWithDefault : public ::testing::TestWithParam<DefaultCase> {};

TEST_P(BoxReadWithDefault, UsesTheValueOnlyForItsOwnKind) {
  const DefaultCase& c = GetParam();
  Doc object(u"{\"a\":" + c.member + u"}");
  Doc array(u"[" + c.member + u"]");
  EXPECT_EQ(object.box.Get(u"a", u"d"), c.text);
  EXPECT_EQ(array.box.Get(0, u"d"), c.text);
  EXPECT_EQ(object.box.Get(u"a", -1), c.integer);
  EXPECT_EQ(array.box.Get(0, int64_t{-1}), c.integer);
  EXPECT_DOUBLE_EQ(object.box.Get(u"a", 0.5), c.byPath);
  EXPECT_DOUBLE_EQ(array.box.Get(0, 0.5), c.byIndex);
  EXPECT_EQ(object.box.Get(u"a", true), c.boolean);
  EXPECT_EQ(array.box.Get(0, true), c.boolean);
}

INSTANTIATE_TEST_SUITE_P(Table, BoxReadWithDefault,
                         ::testing::Values(DefaultCase{u"\"15\"", u"15", -1, 0.5, 0.5, true},
                                           DefaultCase{u"15", u"d", 15, 15, 0.5, true},
                                           DefaultCase{u"3", u"d", 3, 3, 0.5, true},
                                           DefaultCase{u"2.5", u"d", -1, 2.5, 2.5, true},
                                           DefaultCase{u"false", u"d", -1, 0.5, 0.5, false},
                                           DefaultCase{u"null", u"d", -1, 0.5, 0.5, true},
                                           DefaultCase{u"{}", u"d", -1, 0.5, 0.5, true}),
                         testing::NamedBy<&DefaultCase::member>());

TEST(BoxReadWithDefault, NeverRaisesForAWrongPlace) {
  Doc doc(uR"({"a":5,"l":[1]})");
  EXPECT_EQ(doc.box.Get(u"a.b", u"d"), u"d");
  EXPECT_EQ(doc.box.Get(u"x.y.z", int64_t{4}), 4);
  EXPECT_EQ(doc.box.Get(7, false), false) << "no array";
  EXPECT_EQ(doc.box[u"l"].Get(9, 1.5), 1.5);
  EXPECT_EQ(doc.box[u"l"].Get(u"x", u"d"), u"d") << "no object";
}

// A narrow literal is a UTF-8 text default, not a pointer that would pick the Boolean default.
TEST(BoxReadWithDefault, NarrowTextIsATextDefault) {
  Doc doc(uR"({"s":"x","n":1,"l":["y"]})");
  EXPECT_EQ(doc.box.Get(u"missing", "d"), u"d");
  EXPECT_EQ(doc.box.Get(u"n", "작업"), u"작업");
  EXPECT_EQ(doc.box.Get(u"s", "d"), u"x");
  EXPECT_EQ(doc.box[u"l"].Get(0, "d"), u"y");
  EXPECT_EQ(TJSONObjectHelper::Get(doc.box.Content, u"missing", "d"), u"d");
  EXPECT_EQ(TJSONArrayHelper::Get(doc.box[u"l"].Content, 5, "d"), u"d");
}

template <class Fallback>
concept BoxDefault = requires(const TJSONBox& box, Fallback fallback) {
  box.Get(u"a", fallback);
};
template <class Fallback>
concept ObjectDefault = requires(JSONValue* object, Fallback fallback) {
  TJSONObjectHelper::Get(object, u"a", fallback);
};
template <class Fallback>
concept ArrayDefault = requires(JSONValue* array, Fallback fallback) {
  TJSONArrayHelper::Get(array, 0, fallback);
};

static_assert(std::same_as<decltype(std::declval<TJSONBox>().Get(u"a", "d")), std::u16string>);
static_assert(std::same_as<decltype(TJSONObjectHelper::Get(nullptr, u"a", "d")), std::u16string>);
static_assert(std::same_as<decltype(TJSONArrayHelper::Get(nullptr, 0, "d")), std::u16string>);
// Other pointers would silently become Boolean defaults, so they do not compile.
static_assert(!BoxDefault<const wchar_t*> && !BoxDefault<const char8_t*> && !BoxDefault<int*>);
static_assert(!ObjectDefault<const wchar_t*> && !ObjectDefault<const int*>);
static_assert(!ArrayDefault<const char32_t*> && !ArrayDefault<void*>);
static_assert(BoxDefault<bool> && ObjectDefault<bool> && ArrayDefault<bool>);

}  // namespace
}  // namespace velto
