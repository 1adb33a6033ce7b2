#include "MemoJson.h"

#include "fundo/GFileFields.h"
#include "fundo/GMemFile.h"
#include "inkra/GDObject.h"
#include "inkra/InkraPage.h"
#include "scribbo/GPadDrawMan.h"
#include "scribbo/MemoBlocks.h"
#include "scribbo/TemplateHeader.h"

#include <platform/utf.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <initializer_list>

namespace padtool {
namespace {

enum class FieldKind { Int, Colour, Hex };

struct ByteField {
    const char* name;
    int offset;
    int size;
    FieldKind kind;
};

// The paper record by its stored bytes, so that reserved bytes travel too.
constexpr ByteField kPaperFields[] = {
    {"PageWidth", 0, 2, FieldKind::Int},
    {"PageHeight", 2, 2, FieldKind::Int},
    {"BackColor", 4, 4, FieldKind::Colour},
    {"HasBackImage", 8, 1, FieldKind::Int},
    {"Reserved1", 9, 3, FieldKind::Hex},
    {"BackImageFormat", 12, 4, FieldKind::Int},
    {"BackImageSize", 16, 4, FieldKind::Int},
    {"BackImageAlpha", 20, 1, FieldKind::Int},
    {"Reserved2", 21, 7, FieldKind::Hex},
    {"Flags", 28, 4, FieldKind::Int},
    {"TitleHorLineColor", 32, 4, FieldKind::Colour},
    {"HorLineColor", 36, 4, FieldKind::Colour},
    {"TitleVerLineColor", 40, 4, FieldKind::Colour},
    {"VerLineColor", 44, 4, FieldKind::Colour},
    {"LineAlpha", 48, 1, FieldKind::Int},
    {"TitleBandHeight", 49, 1, FieldKind::Int},
    {"TitleColumnWidth", 50, 1, FieldKind::Int},
    {"LineSpace", 51, 1, FieldKind::Int},
    {"ColumnSpace", 52, 1, FieldKind::Int},
    {"TitleHorLineWidth", 53, 1, FieldKind::Int},
    {"HorLineWidth", 54, 1, FieldKind::Int},
    {"TitleVerLineWidth", 55, 1, FieldKind::Int},
    {"VerLineWidth", 56, 1, FieldKind::Int},
    {"Reserved3", 57, 15, FieldKind::Hex},
};

// State bytes 1, 2, 4 and 5 follow from the title, note and pages.
constexpr ByteField kStateFields[] = {
    {"mark", 0, 1, FieldKind::Int},
    {"reserved0", 3, 1, FieldKind::Hex},
    {"reserved1", 6, 10, FieldKind::Hex},
};

// Alarm byte 19 follows from the sound path; the time is a double of its own.
constexpr ByteField kAlarmFields[] = {
    {"switch1", 0, 1, FieldKind::Int},     {"switch2", 1, 1, FieldKind::Int},
    {"switch3", 2, 1, FieldKind::Int},     {"switch4", 3, 1, FieldKind::Int},
    {"reserved0", 4, 4, FieldKind::Hex},   {"value1", 16, 1, FieldKind::Int},
    {"value2", 17, 1, FieldKind::Int},     {"repeat", 18, 1, FieldKind::Int},
    {"reserved1", 20, 20, FieldKind::Hex},
};

DWORD GetLE(const BYTE* p, int size) {
    DWORD v = 0;
    for (int i = size - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

void PutLE(BYTE* p, int size, DWORD v) {
    for (int i = 0; i < size; ++i)
        p[i] = BYTE(v >> (8 * i));
}

std::string Hex(const BYTE* p, int size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < size; ++i) {
        s += kDigits[p[i] >> 4];
        s += kDigits[p[i] & 15];
    }
    return s;
}

std::string ColourText(DWORD colour) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%08X", unsigned(colour));
    return buf;
}

Json FieldsToJson(const BYTE* bytes, const ByteField* fields, size_t count) {
    Json o = Json::object();
    for (size_t i = 0; i < count; ++i) {
        const ByteField& f = fields[i];
        const BYTE* p = bytes + f.offset;
        switch (f.kind) {
            case FieldKind::Int:
                o[f.name] = std::int64_t(GetLE(p, f.size));
                break;
            case FieldKind::Colour:
                o[f.name] = ColourText(GetLE(p, f.size));
                break;
            case FieldKind::Hex:
                o[f.name] = Hex(p, f.size);
                break;
        }
    }
    return o;
}

Json TextOrNull(const WCHAR* text, bool present) {
    if (!present)
        return nullptr;
    return ToJsonText(text ? std::u16string_view(text) : std::u16string_view());
}

Json IntArray(std::initializer_list<std::int64_t> values) {
    Json a = Json::array();
    for (std::int64_t v : values)
        a.push_back(v);
    return a;
}

const Json* Find(const Json& v, const char* name) {
    const auto* members = v.get_ptr<const Json::object_t*>();
    if (!members)
        return nullptr;
    const auto it = members->find(name);
    return it == members->end() ? nullptr : &it->second;
}

// The items of an array (none for any other value).
const Json::array_t& Items(const Json& v) {
    static const Json::array_t none;
    const auto* items = v.get_ptr<const Json::array_t*>();
    return items ? *items : none;
}

// A whole number; packed objects hold those above zero as unsigned.
bool WholeNumber(const Json& v, std::int64_t& out) {
    if (const auto* i = v.get_ptr<const Json::number_integer_t*>()) {
        out = *i;
        return true;
    }
    const auto* u = v.get_ptr<const Json::number_unsigned_t*>();
    if (!u || *u > std::uint64_t(INT64_MAX))
        return false;
    out = std::int64_t(*u);
    return true;
}

Json ObjectToJson(const GDObject& o) {
    Json j = Json::object();
    j["kind"] = std::int64_t(o.kind);
    j["stroke_type"] = std::int64_t(o.strokeType);
    const BYTE pad[3] = {o.pad0[0], o.pad0[1], o.pad1};
    j["pad"] = Hex(pad, 3);
    j["colour"] = ColourText(o.GetColor());
    j["width"] = std::int64_t(o.width);
    j["alpha"] = std::int64_t(o.alpha);
    j["text_format"] = std::int64_t(o.textFormat);
    j["bounds"] = IntArray({o.bounds.left, o.bounds.top, o.bounds.right, o.bounds.bottom});
    const MATRIX& m = o.transform;
    j["transform"] = IntArray({m.m11, m.m12, m.m21, m.m22, m.dx, m.dy, m.cx, m.cy});
    if (o.kind == DO_STROKE) {
        Json& points = j["points"] = Json::array();
        const int count = o.points ? o.pointCount : 0;
        for (int i = 0; i < count; ++i) {
            const GWPOINT& p = o.points[i];
            points.push_back(IntArray({p.x, p.y, p.width, p.alpha}));
            const DWORD padBits = DWORD(p.pad[0]) | DWORD(p.pad[1]) << 8 | DWORD(p.pad[2]) << 16;
            if (padBits)
                points.back().push_back(std::int64_t(padBits));
        }
    } else if (o.kind == DO_TEXT) {
        j["text"] = TextOrNull(o.text, o.text && o.text[0]);
        j["font"] = TextOrNull(o.fontName, o.fontName && o.fontName[0]);
    }
    return j;
}

// ---- Reading ------------------------------------------------------------------------------

// Exactly 2 * size hex digits.
bool ParseHex(std::string_view digits, BYTE* out, int size) {
    if (digits.size() != size_t(2 * size))
        return false;
    for (int i = 0; i < size; ++i) {
        const int hi = plat::HexDigit(digits[2 * size_t(i)]);
        const int lo = plat::HexDigit(digits[2 * size_t(i) + 1]);
        if (hi < 0 || lo < 0)
            return false;
        out[i] = BYTE(hi << 4 | lo);
    }
    return true;
}

class Checker {
public:
    explicit Checker(std::string& error) : m_error(error) {}

    bool Fail(const std::string& path, const std::string& why) {
        if (m_error.empty())
            m_error = path + ": " + why;
        return false;
    }

    // An object whose members are all among allowed.
    bool Object(const Json* v, const std::string& path,
                std::initializer_list<const char*> allowed) {
        if (!v)
            return Fail(path, "missing");
        const auto* members = v->get_ptr<const Json::object_t*>();
        if (!members)
            return Fail(path, "an object is expected");
        for (const auto& m : *members) {
            bool known = false;
            for (const char* a : allowed)
                known = known || m.first == a;
            if (!known)
                return Fail(path, "unknown member \"" + m.first + "\"");
        }
        return true;
    }

    bool Array(const Json* v, const std::string& path, size_t minItems, size_t maxItems) {
        if (!v)
            return Fail(path, "missing");
        if (!v->is_array())
            return Fail(path, "an array is expected");
        if (v->size() < minItems || v->size() > maxItems)
            return Fail(path, minItems == maxItems
                                  ? "exactly " + std::to_string(minItems) + " items are expected"
                                  : "between " + std::to_string(minItems) + " and " +
                                        std::to_string(maxItems) + " items are expected");
        return true;
    }

    bool Int(const Json* v, const std::string& path, std::int64_t lo, std::int64_t hi,
             std::int64_t& out) {
        if (!v)
            return Fail(path, "missing");
        std::int64_t x = 0;
        if (!WholeNumber(*v, x))
            return Fail(path, "a whole number is expected");
        if (x < lo || x > hi)
            return Fail(path,
                        "must lie between " + std::to_string(lo) + " and " + std::to_string(hi));
        out = x;
        return true;
    }

    bool Int32(const Json* v, const std::string& path, LONG& out) {
        std::int64_t x = 0;
        if (!Int(v, path, INT32_MIN, INT32_MAX, x))
            return false;
        out = LONG(x);
        return true;
    }

    bool Colour(const Json* v, const std::string& path, DWORD& out) {
        if (!v)
            return Fail(path, "missing");
        const auto* s = v->get_ptr<const std::string*>();
        BYTE b[4];
        if (!s || s->size() != 10 || s->compare(0, 2, "0x") != 0 ||
            !ParseHex(std::string_view(*s).substr(2), b, 4))
            return Fail(path, "a colour \"0x00BBGGRR\" is expected");
        out = DWORD(b[0]) << 24 | DWORD(b[1]) << 16 | DWORD(b[2]) << 8 | b[3];
        return true;
    }

    // Optional: absent means zero bytes.
    bool HexBytes(const Json* v, const std::string& path, BYTE* out, int size) {
        std::memset(out, 0, size_t(size));
        if (!v)
            return true;
        const auto* s = v->get_ptr<const std::string*>();
        if (!s || !ParseHex(*s, out, size))
            return Fail(path, std::to_string(size) + " bytes in hex digits are expected");
        return true;
    }

    // A string of at most maxUnits UTF-16 units without U+0000, or null (present false).
    bool Text(const Json* v, const std::string& path, size_t maxUnits, bool nullable,
              std::u16string& out, bool& present) {
        if (!v)
            return Fail(path, "missing");
        present = false;
        out.clear();
        if (v->is_null() && nullable)
            return true;
        const auto* s = v->get_ptr<const std::string*>();
        if (!s)
            return Fail(path, nullable ? "a string or null is expected" : "a string is expected");
        std::u16string text = FromJsonText(*s);
        if (text.size() > maxUnits)
            return Fail(path, "longer than " + std::to_string(maxUnits) + " UTF-16 units");
        if (text.find(u'\0') != std::u16string::npos)
            return Fail(path, "a memo text cannot hold U+0000");
        out = std::move(text);
        present = true;
        return true;
    }

    bool Fields(const Json* v, const std::string& path, const ByteField* fields, size_t count,
                BYTE* bytes, std::initializer_list<const char*> extra = {}) {
        if (!v)
            return Fail(path, "missing");
        const auto* members = v->get_ptr<const Json::object_t*>();
        if (!members)
            return Fail(path, "an object is expected");
        for (const auto& m : *members) {
            bool known = false;
            for (size_t i = 0; i < count; ++i)
                known = known || m.first == fields[i].name;
            for (const char* e : extra)
                known = known || m.first == e;
            if (!known)
                return Fail(path, "unknown member \"" + m.first + "\"");
        }
        for (size_t i = 0; i < count; ++i) {
            const ByteField& f = fields[i];
            const std::string at = path + "." + f.name;
            const Json* member = Find(*v, f.name);
            BYTE* p = bytes + f.offset;
            if (f.kind == FieldKind::Hex) {
                if (!HexBytes(member, at, p, f.size))
                    return false;
            } else if (f.kind == FieldKind::Colour) {
                DWORD c = 0;
                if (!Colour(member, at, c))
                    return false;
                PutLE(p, f.size, c);
            } else {
                std::int64_t x = 0;
                const std::int64_t hi = f.size >= 4 ? 0xFFFFFFFFll : (1ll << (8 * f.size)) - 1;
                if (!Int(member, at, 0, hi, x))
                    return false;
                PutLE(p, f.size, DWORD(x));
            }
        }
        return true;
    }

private:
    std::string& m_error;
};

bool CompactForm(BYTE strokeType) {
    return strokeType == eDOPen || strokeType == eDOMarker || strokeType == eDOEraser ||
           strokeType == eDOPencel;
}

// One object record into a temporary object (released by the caller).
bool ReadObject(Checker& c, const Json& j, const std::string& path, bool oldForm, GDObject& o) {
    if (!c.Object(&j, path,
                  {"kind", "stroke_type", "pad", "colour", "width", "alpha", "text_format",
                   "bounds", "transform", "points", "text", "font"}))
        return false;
    std::int64_t kind = 0, type = 0, alpha = 0, format = 0;
    if (!c.Int(Find(j, "kind"), path + ".kind", 1, 255, kind) ||
        !c.Int(Find(j, "stroke_type"), path + ".stroke_type", 0, 255, type) ||
        !c.Int(Find(j, "alpha"), path + ".alpha", 0, 255, alpha) ||
        !c.Int(Find(j, "text_format"), path + ".text_format", 0, 255, format))
        return false;
    o.kind = BYTE(kind);
    o.strokeType = BYTE(type);
    o.alpha = BYTE(alpha);
    o.textFormat = BYTE(format);
    BYTE pad[3];
    if (!c.HexBytes(Find(j, "pad"), path + ".pad", pad, 3))
        return false;
    o.pad0[0] = pad[0];
    o.pad0[1] = pad[1];
    o.pad1 = pad[2];
    DWORD colour = 0;
    if (!c.Colour(Find(j, "colour"), path + ".colour", colour))
        return false;
    if (colour > 0xFFFFFF)
        return c.Fail(path + ".colour", "an object colour has no high byte");
    o.SetColor(colour);
    if (!c.Int32(Find(j, "width"), path + ".width", o.width))
        return false;
    const Json* bounds = Find(j, "bounds");
    if (!c.Array(bounds, path + ".bounds", 4, 4))
        return false;
    LONG* b[4] = {&o.bounds.left, &o.bounds.top, &o.bounds.right, &o.bounds.bottom};
    for (int i = 0; i < 4; ++i)
        if (!c.Int32(&Items(*bounds)[size_t(i)], path + ".bounds[" + std::to_string(i) + "]",
                     *b[i]))
            return false;
    const Json* transform = Find(j, "transform");
    if (!c.Array(transform, path + ".transform", 8, 8))
        return false;
    MATRIX& m = o.transform;
    LONG* t[8] = {&m.m11, &m.m12, &m.m21, &m.m22, &m.dx, &m.dy, &m.cx, &m.cy};
    for (int i = 0; i < 8; ++i)
        if (!c.Int32(&Items(*transform)[size_t(i)], path + ".transform[" + std::to_string(i) + "]",
                     *t[i]))
            return false;

    const Json* points = Find(j, "points");
    const Json* text = Find(j, "text");
    const Json* font = Find(j, "font");
    if (oldForm && o.kind != DO_STROKE)
        return c.Fail(path + ".kind", "a version 1 memo holds strokes only");
    if (o.kind != DO_STROKE && points)
        return c.Fail(path + ".points", "only strokes (kind 3) have points");
    if (o.kind != DO_TEXT && (text || font))
        return c.Fail(path, "only texts (kind 4) have text and font");
    if (o.kind == DO_TEXT) {
        std::u16string s, f;
        bool hasText = false, hasFont = false;
        if (!c.Text(text, path + ".text", 65535, true, s, hasText) ||
            !c.Text(font, path + ".font", 65535, true, f, hasFont))
            return false;
        if ((hasText && s.empty()) || (hasFont && f.empty()))
            return c.Fail(path, "an empty text or font is written as null");
        if (hasText && !o.SetTextData(s.c_str()))
            return c.Fail(path + ".text", "out of memory");
        if (hasFont && !o.SetFontName(f.c_str()))
            return c.Fail(path + ".font", "out of memory");
    }
    if (o.kind != DO_STROKE)
        return true;
    if (!c.Array(points, path + ".points", 0, 65535))
        return false;
    const size_t count = points->size();
    if (count == 0)
        return true;
    std::vector<GWPOINT> data(count);
    const bool compact = oldForm || CompactForm(o.strokeType);
    for (size_t i = 0; i < count; ++i) {
        const std::string at = path + ".points[" + std::to_string(i) + "]";
        const Json& p = Items(*points)[i];
        if (!c.Array(&p, at, 4, 5))
            return false;
        GWPOINT& g = data[i];
        std::int64_t a = 0, padBits = 0;
        if (!c.Int32(&Items(p)[0], at + "[0]", g.x) || !c.Int32(&Items(p)[1], at + "[1]", g.y) ||
            !c.Int32(&Items(p)[2], at + "[2]", g.width) ||
            !c.Int(&Items(p)[3], at + "[3]", 0, 255, a))
            return false;
        if (p.size() == 5 && !c.Int(&Items(p)[4], at + "[4]", 1, 0xFFFFFF, padBits))
            return false;
        g.alpha = BYTE(a);
        g.pad[0] = BYTE(padBits);
        g.pad[1] = BYTE(padBits >> 8);
        g.pad[2] = BYTE(padBits >> 16);
        // These tools store x and y only; each point takes the stroke's width and alpha.
        if (compact && (g.width != o.width || g.alpha != o.alpha || padBits))
            return c.Fail(at, "this stroke type stores x and y only: width and alpha must be "
                              "the stroke's, and no pad");
    }
    o.pointCount = WORD(count);
    if (!o.SetPointData(data.data()))
        return c.Fail(path + ".points", "out of memory");
    return true;
}

// The page through the engine's own record reader, so that the memo holds what a file
// would give it.
bool ReadPage(Checker& c, const Json& j, const std::string& path, bool oldForm, GPadDrawMan& memo,
              int index) {
    if (!c.Object(&j, path, {"position", "objects", "background"}))
        return false;
    const Json* position = Find(j, "position");
    if (!c.Array(position, path + ".position", 2, 2))
        return false;
    POINT at{0, 0};
    if (!c.Int32(&Items(*position)[0], path + ".position[0]", at.x) ||
        !c.Int32(&Items(*position)[1], path + ".position[1]", at.y))
        return false;
    const Json* lists[2] = {Find(j, "objects"), Find(j, "background")};
    const char* names[2] = {"objects", "background"};
    _FILE_VERSION form = kMemoFileVersion;
    GMemFile record;
    for (int l = 0; l < 2; ++l) {
        const std::string listPath = path + "." + names[l];
        if (!c.Array(lists[l], listPath, 0, 0xFFFFFFFFu))
            return false;
        if (l == 1 && oldForm && !lists[l]->empty())
            return c.Fail(listPath, "a version 1 memo has no background objects");
        if (!fundo::WriteU32(&record, DWORD(lists[l]->size())))
            return c.Fail(listPath, "out of memory");
        for (size_t i = 0; i < lists[l]->size(); ++i) {
            // A packed object is opened here, alone, and let go after.
            Json scratch;
            const Json* item = &Unpacked(Items(*lists[l])[i], scratch);
            GDObject o;
            o.InitObject(nullptr);
            const bool ok =
                ReadObject(c, *item, listPath + "[" + std::to_string(i) + "]", oldForm, o) &&
                o.Save(&record, form);
            o.ReleaseData();
            if (!ok)
                return c.Fail(listPath, "cannot be stored");
        }
    }
    InkraPage* page = memo.CreatePage();
    if (!page)
        return c.Fail(path, "out of memory");
    tagPOINT extent{0, 0};
    GMemFile in(record.GetBuffer(), DWORD(record.Size()));
    if (!page->Load(&in, form, extent) || memo.AddPage(page, 0) < 0) {
        page->DetachDrawMan();
        FreeInkraPage(page);
        return c.Fail(path, "cannot be stored");
    }
    memo.SetPagePosition(index, at);
    return true;
}

double BitsToDouble(std::uint64_t bits) {
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

std::uint64_t DoubleToBits(double d) {
    std::uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    return bits;
}

} // namespace

Json MemoHeadToJson(GPadDrawMan& memo) {
    Json j = Json::object();
    j["version"] = IntArray({memo.GetFileMajor(), memo.GetFileMinor()});
    j["current_page"] = memo.GetCurPageIndex() + 1;

    const StateBlock& state = *memo.GetState();
    BYTE stateBytes[kStateBlockBytes];
    StateBlockToBytes(state, stateBytes);
    j["state"] = FieldsToJson(stateBytes, kStateFields, std::size(kStateFields));

    const AlarmBlock& alarm = *memo.GetAlarm();
    BYTE alarmBytes[kAlarmBlockBytes];
    AlarmBlockToBytes(alarm, alarmBytes);
    Json a = FieldsToJson(alarmBytes, kAlarmFields, std::size(kAlarmFields));
    // Exact in its shortest form; a value JSON cannot write goes as its bits.
    if (std::isfinite(alarm.AlarmTime)) {
        a["time"] = alarm.AlarmTime;
    } else {
        char buf[24];
        std::snprintf(buf, sizeof buf, "0x%016llX",
                      static_cast<unsigned long long>(DoubleToBits(alarm.AlarmTime)));
        a["time"] = buf;
    }
    j["alarm"] = std::move(a);

    TemplateHeader& paper = *memo.GetTemplate();
    BYTE paperBytes[kTemplateHeaderBytes];
    TemplateHeaderToBytes(paper, paperBytes);
    j["paper"] = FieldsToJson(paperBytes, kPaperFields, std::size(kPaperFields));
    j["back_colour"] = ColourText(memo.GetBackColor());

    WCHAR title[kMemoTitleChars];
    memo.GetTitle(title);
    j["title"] = TextOrNull(title, state.HasTitle != 0);
    j["note"] = TextOrNull(memo.GetNote(), state.HasNote != 0);
    j["sound"] = TextOrNull(memo.GetSoundPath(), alarm.HasSoundPath != 0);

    if ((paper.Flags & eTFPicture) && paper.HasBackImage) {
        const std::vector<BYTE>& bytes = memo.GetEmbeddedPicture();
        Json p = Json::object();
        p["path"] = TextOrNull(memo.GetBackImagePath(), true);
        p["bytes"] = std::int64_t(bytes.size());
        p["data"] = Base64Encode(bytes.data(), bytes.size());
        j["picture"] = std::move(p);
    } else {
        j["picture"] = nullptr;
    }
    return j;
}

bool WriteMemoJson(const Json& head, GPadDrawMan& memo, const InkraMan& body, JsonWriter& out) {
    out.OpenObject();
    for (const auto& [name, value] : *head.get_ptr<const Json::object_t*>()) {
        out.Key(name);
        out.Value(value);
    }
    out.Key("pages");
    out.OpenArray(true);
    for (int i = 0; i < body.GetPageNum() && !out.Stopped(); ++i) {
        InkraPage* page = body.GetPage(i);
        out.OpenObject();
        const POINT at = memo.GetPagePosition(i);
        out.Key("position");
        out.Value(IntArray({at.x, at.y}));
        out.Key("objects");
        out.OpenArray(true);
        for (int k = 0; k < page->GetTotalGDObjectNum() && !out.Stopped(); ++k)
            out.Value(ObjectToJson(*page->GetGDObject(k)));
        out.Close();
        out.Key("background");
        out.OpenArray(true);
        for (int k = 0; k < page->GetBackTextObjectNum() && !out.Stopped(); ++k)
            out.Value(ObjectToJson(*page->GetBackTextObject(k)));
        out.Close();
        out.Close();
    }
    out.Close();
    out.Close();
    return out.Finish();
}

bool MemoFromJson(const Json& json, GPadDrawMan& memo, _FILE_VERSION& version, std::string& error) {
    error.clear();
    Checker c(error);
    if (!c.Object(&json, "memo",
                  {"version", "current_page", "state", "alarm", "paper", "back_colour", "title",
                   "note", "sound", "picture", "pages"}))
        return false;

    const Json* v = Find(json, "version");
    if (!c.Array(v, "version", 2, 2))
        return false;
    std::int64_t major = 0, minor = 0;
    if (!c.Int(&Items(*v)[0], "version[0]", 1, 2, major) ||
        !c.Int(&Items(*v)[1], "version[1]", 0, INT32_MAX, minor))
        return false;
    if (major == 2 && minor != 2)
        return c.Fail("version", "only 1 and 2.2 can be written");
    version = _FILE_VERSION{LONG(major), LONG(minor)};
    const bool oldForm = major == 1;

    const Json* pages = Find(json, "pages");
    if (!c.Array(pages, "pages", 1, INKRA_MAX_PAGES))
        return false;
    std::int64_t current = 0;
    if (!c.Int(Find(json, "current_page"), "current_page", 1, std::int64_t(pages->size()), current))
        return false;

    BYTE stateBytes[kStateBlockBytes] = {};
    if (!c.Fields(Find(json, "state"), "state", kStateFields, std::size(kStateFields), stateBytes))
        return false;
    BYTE alarmBytes[kAlarmBlockBytes] = {};
    const Json* alarmJson = Find(json, "alarm");
    if (!c.Fields(alarmJson, "alarm", kAlarmFields, std::size(kAlarmFields), alarmBytes, {"time"}))
        return false;
    const Json* time = Find(*alarmJson, "time");
    double when = 0;
    if (!time)
        return c.Fail("alarm.time", "missing");
    if (time->is_number()) {
        when = time->get<double>();
    } else {
        BYTE bits[8];
        const auto* s = time->get_ptr<const std::string*>();
        if (!s || s->size() != 18 || s->compare(0, 2, "0x") != 0 ||
            !ParseHex(std::string_view(*s).substr(2), bits, 8))
            return c.Fail("alarm.time", "a number or \"0x\" and 16 hex digits is expected");
        std::uint64_t b = 0;
        for (BYTE x : bits)
            b = b << 8 | x;
        when = BitsToDouble(b);
        if (std::isfinite(when))
            return c.Fail("alarm.time", "a finite time is written as a number");
    }

    BYTE paperBytes[kTemplateHeaderBytes] = {};
    if (!c.Fields(Find(json, "paper"), "paper", kPaperFields, std::size(kPaperFields), paperBytes))
        return false;
    TemplateHeader paper{};
    TemplateHeaderFromBytes(paperBytes, &paper);
    DWORD back = 0;
    if (!c.Colour(Find(json, "back_colour"), "back_colour", back))
        return false;
    // The body's colour is the paper's when the memo is read.
    if (back != paper.BackColor)
        return c.Fail("back_colour", "must equal paper.BackColor");

    std::u16string title, note, sound;
    bool hasTitle = false, hasNote = false, hasSound = false;
    if (!c.Text(Find(json, "title"), "title", kMemoTitleChars - 1, true, title, hasTitle) ||
        !c.Text(Find(json, "note"), "note", kMemoNoteChars - 1, true, note, hasNote) ||
        !c.Text(Find(json, "sound"), "sound", kMemoPathChars - 1, true, sound, hasSound))
        return false;
    if (oldForm && hasTitle && title.empty())
        return c.Fail("title", "a version 1 memo writes no empty title: use null");
    if (oldForm && hasNote)
        return c.Fail("note", "a version 1 memo has no note");

    const bool hasPicture = (paper.Flags & eTFPicture) && paper.HasBackImage;
    const bool embedded = hasPicture && paper.BackImageSize && (paper.Flags & eTFEmbedPicture);
    const Json* picture = Find(json, "picture");
    std::u16string picturePath;
    std::vector<unsigned char> pictureBytes;
    if (!picture)
        return c.Fail("picture", "missing");
    if (!hasPicture) {
        if (!picture->is_null())
            return c.Fail("picture", "must be null: the paper shows no picture (Flags bit 16 "
                                     "and HasBackImage)");
    } else {
        if (oldForm)
            return c.Fail("picture", "a version 1 memo has no picture");
        if (!c.Object(picture, "picture", {"path", "bytes", "data"}))
            return false;
        bool present = false;
        std::int64_t count = 0;
        if (!c.Text(Find(*picture, "path"), "picture.path", kMemoPathChars - 1, false, picturePath,
                    present) ||
            !c.Int(Find(*picture, "bytes"), "picture.bytes", 0, 0xFFFFFFFFll, count))
            return false;
        const Json* data = Find(*picture, "data");
        const auto* base64 = data ? data->get_ptr<const std::string*>() : nullptr;
        if (!base64 || !Base64Decode(*base64, pictureBytes))
            return c.Fail("picture.data", "the picture bytes in base64 are expected");
        if (std::int64_t(pictureBytes.size()) != count)
            return c.Fail("picture.bytes", "must be the number of bytes in picture.data");
        if (embedded && pictureBytes.size() != paper.BackImageSize)
            return c.Fail("picture.data", "must hold paper.BackImageSize bytes (Flags bit 128)");
        if (!embedded && !pictureBytes.empty())
            return c.Fail("picture.data", "must be empty: the paper embeds no picture bytes");
    }

    *memo.GetTemplate() = paper;
    memo.SetBackColor(nullptr, back, 0);
    for (size_t i = 0; i < pages->size(); ++i)
        if (!ReadPage(c, Items(*pages)[i], "pages[" + std::to_string(i) + "]", oldForm, memo,
                      int(i)))
            return false;
    memo.SetCurPage(int(current - 1), 0);
    memo.SetTitle(title.c_str());
    memo.SetNote(note.c_str());
    memo.SetSoundPath(sound.c_str());
    memo.SetStoredPicture(picturePath.c_str(), pictureBytes.data(), DWORD(pictureBytes.size()));
    *memo.GetTemplate() = paper;

    StateBlock& state = *memo.GetState();
    StateBlockFromBytes(stateBytes, &state);
    state.HasTitle = hasTitle ? 1 : 0;
    state.HasNote = hasNote ? 1 : 0;
    AlarmBlock& alarm = *memo.GetAlarm();
    AlarmBlockFromBytes(alarmBytes, &alarm);
    alarm.AlarmTime = when;
    alarm.HasSoundPath = hasSound ? 1 : 0;
    memo.SetHeaderChanged(1);
    memo.SetObjectChanged(1);
    return true;
}

} // namespace padtool
