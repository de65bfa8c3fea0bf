// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/landxml.h"

#include "exchange/plane_lines.h"
#include "files/file_error.h"
#include "numeric/chainage_text.h"
#include "numeric/number_text.h"
#include "route/clothoid.h"
#include "route/route.h"
#include "session/route_spans.h"
#include "text/catalogue.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>
#include <QXmlStreamReader>

#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>
#include <map>
#include <sstream>
#include <vector>

namespace quenlor::exchange {
namespace {

constexpr double kInfinite = std::numeric_limits<double>::infinity();
constexpr double kAbsent = std::numeric_limits<double>::quiet_NaN();
// A Line shorter than this gives no direction of its own: the tangent of
// the curve beside it does.
constexpr double kShortestDirectingLine = 1;
// Radii of the pieces of one curve agree to this (metres, or a millionth).
constexpr double kSameRadius = 1e-3;
// The LandXML namespaces, whatever the version; a file may also use none.
constexpr QLatin1String kLandXmlNamespaces("http://www.landxml.org/schema/LandXML-");
// Distinct names listed among the ignored elements at most.
constexpr std::size_t kMostIgnoredNames = 20;

// Why a file is not read: in English for the driver, in Chinese for the
// window.
using Refusal = Failure;

// Where something stands in the file.
struct Place {
  qint64 line = 0, column = 0;
};

// The refusal with its place in the file, in each language.
Refusal refusedAt(Place p, Say say, std::initializer_list<std::string_view> blanks = {}) {
  const std::string line = std::to_string(p.line), column = std::to_string(p.column);
  return {english(Say::LandXmlAt, {line, column, english(say, blanks)}),
          chinese(Say::LandXmlAt, {line, column, chinese(say, blanks)})};
}

std::string metres(double value) {
  std::ostringstream text;
  text.precision(3);
  text << std::fixed << value;
  return text.str();
}

std::string text(QStringView view) { return view.toString().toStdString(); }

// ----- numbers, read strictly -----

enum class NumberFault { None, NotANumber, TooSmall, TooLarge };

// Whether a text that from_chars found out of range is too small rather than
// too large: the decimal exponent of its first significant digit is below 0.
bool underflows(std::string_view text) {
  const std::size_t e = text.find_first_of("eE");
  const std::string_view mantissa = text.substr(0, e);
  long long exponent = 0;
  if (e != std::string_view::npos) {
    const std::string_view digits = text.substr(e + 1);
    const auto [end, error] = std::from_chars(digits.data() + (digits.starts_with('+') ? 1 : 0),
                                              digits.data() + digits.size(), exponent);
    if (error != std::errc())
      return digits.starts_with('-'); // an exponent beyond long long: its sign decides
  }
  const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
  const std::size_t first = mantissa.find_first_of("123456789");
  if (first == std::string_view::npos)
    return true;
  const long long lead = first < point ? static_cast<long long>(point - first) - 1
                                       : -static_cast<long long>(first - point);
  return exponent < -lead; // lead + exponent < 0, without overflow
}

struct Number {
  double value = 0;
  NumberFault fault = NumberFault::None;
};

// One number as numeric/strict_number.h reads it, within +-1e9; XML's blanks
// around it are allowed. Read from a copy on the stack: a file holds
// millions of them.
Number strictValue(QStringView word) {
  word = word.trimmed();
  char buffer[64] = {};
  std::string large;
  char* bytes = buffer;
  if (word.size() > qsizetype(sizeof buffer)) {
    large.resize(std::size_t(word.size()));
    bytes = large.data();
  }
  for (qsizetype i = 0; i < word.size(); ++i) {
    const char16_t c = word[i].unicode();
    if (c > 0x7F)
      return {0, NumberFault::NotANumber};
    bytes[i] = char(c);
  }
  const std::string_view t(bytes, std::size_t(word.size()));
  double value = 0;
  const auto [end, error] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (error == std::errc::result_out_of_range && end == t.data() + t.size())
    return {0, underflows(t) ? NumberFault::TooSmall : NumberFault::TooLarge};
  if (t.empty() || error != std::errc() || end != t.data() + t.size() || !std::isfinite(value))
    return {0, NumberFault::NotANumber};
  if (!route::isUsableValue(value))
    return {0, NumberFault::TooLarge};
  return {value, NumberFault::None};
}

Refusal badNumber(Place p, const std::string& what, QStringView word, NumberFault fault) {
  const std::string typed = word.toString().toStdString();
  switch (fault) {
  case NumberFault::TooSmall: return refusedAt(p, Say::LandXmlNumberTooSmall, {what, typed});
  case NumberFault::TooLarge: return refusedAt(p, Say::LandXmlNumberBeyond, {what, typed});
  default: return refusedAt(p, Say::LandXmlNotANumber, {what, typed});
  }
}

// ----- the bytes as they stream in -----

// The file's bytes on their way to the XML reader: counted, cut at the
// largest size read, and watched for the first NUL character, which XML
// never holds, so that the message can name it.
class ScannedDevice : public QIODevice {
public:
  explicit ScannedDevice(QIODevice& source) : source_(source) { open(QIODevice::ReadOnly); }
  bool isSequential() const override { return true; }
  bool tooLarge() const { return tooLarge_; }
  const std::optional<Place>& nul() const { return nul_; }

protected:
  qint64 readData(char* data, qint64 most) override {
    const qint64 room = qint64(kMostLandXmlBytes) - passed_;
    if (room <= 0) {
      char probe;
      tooLarge_ = source_.read(&probe, 1) == 1;
      return 0;
    }
    const qint64 got = source_.read(data, std::min(most, room));
    if (got <= 0)
      return got;
    if (passed_ == 0)
      utf16_ = got >= 2 &&
               ((data[0] == '\xff' && data[1] == '\xfe') ||
                (data[0] == '\xfe' && data[1] == '\xff') || data[0] == '\0' || data[1] == '\0');
    if (!nul_ && !utf16_)
      scan(data, std::size_t(got));
    passed_ += got;
    return got;
  }
  qint64 writeData(const char*, qint64) override { return -1; }

private:
  // Lines end at LF; a column counts characters, not the bytes that
  // continue one in UTF-8. Only the stretch after a chunk's last line break
  // is walked byte by byte.
  void scan(const char* data, std::size_t size) {
    const auto* nul = static_cast<const char*>(std::memchr(data, '\0', size));
    const char* upto = nul ? nul : data + size;
    const auto lastBreak =
        std::find(std::make_reverse_iterator(upto), std::make_reverse_iterator(data), '\n');
    const char* lineStart = lastBreak.base(); // data when the chunk has no line break
    line_ += std::count(data, upto, '\n');
    if (lineStart != data)
      column_ = 0;
    for (const char* c = lineStart; c < upto; ++c)
      column_ += (static_cast<unsigned char>(*c) & 0xC0) != 0x80 ? 1 : 0;
    if (nul)
      nul_ = Place{line_, column_ + 1};
  }

  QIODevice& source_;
  qint64 passed_ = 0;
  bool tooLarge_ = false, utf16_ = false;
  qint64 line_ = 1, column_ = 0;
  std::optional<Place> nul_;
};

// ----- the file as read -----

// Numbers as the file gives them (in its unit of length until toMetres),
// kAbsent where an attribute is missing.
struct RawElement {
  enum class Kind : unsigned char { Line, Spiral, Arc } kind = Kind::Line;
  signed char rot = 0; // +1 cw, -1 ccw, 0 not said
  Place place;
  std::string name;
  double staStart = kAbsent, length = kAbsent, radius = kAbsent;
  double radiusStart = kInfinite, radiusEnd = kInfinite; // a spiral's; INF at a straight
  std::optional<PlanePoint> start, end, centre;
};

struct RawProfilePoint {
  enum class Kind : unsigned char { Pvi, Parabola, Asymmetric, Circle } kind = Kind::Pvi;
  Place place;
  std::string name;
  double station = 0, elevation = 0;
  double length = kAbsent, radius = kAbsent, lengthIn = kAbsent, lengthOut = kAbsent;
};

struct RawEquation {
  Place place;
  std::string name;
  double back = kAbsent, ahead = kAbsent, internal = kAbsent;
};

// A Superelevation's stations in the order a curve passes them: the normal
// crown, the outer side level, the full section from FullSuperSta to
// RunoffSta, the outer side level, the normal crown.
enum SuperStation {
  BeginRunout,
  BeginRunoff,
  FullSuper,
  EndFull,
  StartRunout,
  EndRunout,
  kStations
};
constexpr std::array<const char16_t*, kStations> kStationNames = {
    u"BeginRunoutSta", u"BeginRunoffSta",   u"FullSuperSta",
    u"RunoffSta",      u"StartofRunoutSta", u"EndofRunoutSta"};

struct RawSuperelevation {
  Place place;
  std::array<double, kStations> stations{kAbsent, kAbsent, kAbsent, kAbsent, kAbsent, kAbsent};
  double full = kAbsent; // FullSuperelev
  bool adverse = false;
  std::optional<Failure> fault; // a number that is not one
};

struct RawAlignment {
  std::string name;
  Place place;
  double staStart = kAbsent;
  std::vector<RawElement> elements;
  std::vector<RawEquation> equations;
  std::vector<RawProfilePoint> profile;
  bool profileRead = false;
  std::vector<RawSuperelevation> superelevations;
  std::optional<Place> beyondMost; // the first Superelevation not kept
};

// The unit of length and the metres in one.
struct LengthScale {
  LengthUnit unit = LengthUnit::Metre;
  double metres = 1;
};

const struct {
  const char* name;
  LengthScale scale;
} kLengthUnits[] = {
    {"meter", {LengthUnit::Metre, 1}},
    {"millimeter", {LengthUnit::Millimetre, 1e-3}},
    {"centimeter", {LengthUnit::Centimetre, 1e-2}},
    {"kilometer", {LengthUnit::Kilometre, 1e3}},
    {"foot", {LengthUnit::Foot, 0.3048}},
    {"USSurveyFoot", {LengthUnit::UsSurveyFoot, 1200.0 / 3937.0}},
    {"inch", {LengthUnit::Inch, 0.0254}},
};

struct RawFile {
  std::vector<std::string> names; // every alignment's
  std::size_t chosen = 0;
  std::optional<RawAlignment> alignment;
  LengthScale length, elevation;
  std::vector<IgnoredElement> ignored;
};

bool isLandXml(QStringView namespaceUri) {
  return namespaceUri.isEmpty() || namespaceUri.startsWith(kLandXmlNamespaces);
}

class FileReader {
public:
  FileReader(QXmlStreamReader& xml, const ScannedDevice& bytes, const std::string& wanted)
      : xml_(xml), bytes_(bytes), wanted_(wanted) {}

  RawFile read() {
    if (!xml_.readNextStartElement())
      throw notXml();
    if (xml_.name() != QLatin1String("LandXML"))
      throw failure(Say::LandXmlNotLandXml, {text(xml_.name())});
    while (readChild()) {
      if (ours(u"Units"))
        readUnits();
      else if (ours(u"Alignments"))
        readAlignments();
      else
        xml_.skipCurrentElement();
    }
    while (!xml_.atEnd())
      xml_.readNext();
    if (xml_.hasError())
      throw notXml();
    for (const auto& [name, count] : ignoredOrder_)
      file_.ignored.push_back({name, count});
    return std::move(file_);
  }

private:
  Place place() const { return {xml_.lineNumber(), xml_.columnNumber()}; }

  // The next child element; false at the parent's end, and a refusal where
  // the XML breaks off.
  bool readChild() {
    if (xml_.readNextStartElement())
      return true;
    if (xml_.hasError())
      throw notXml();
    return false;
  }

  bool ours(QStringView name) const {
    return xml_.name() == name && isLandXml(xml_.namespaceUri());
  }

  Refusal notXml() const {
    if (bytes_.tooLarge())
      return tooLarge();
    if (const auto& nul = bytes_.nul();
        nul && (nul->line < xml_.lineNumber() ||
                (nul->line == xml_.lineNumber() && nul->column <= xml_.columnNumber() + 1)))
      return failure(Say::LandXmlNul, {std::to_string(nul->line), std::to_string(nul->column)});
    const Place p = place();
    return failure(Say::LandXmlNotWellFormed, {std::to_string(p.line), std::to_string(p.column),
                                               xml_.errorString().toStdString()});
  }

  // Skips the element, noting it among those ignored.
  void ignore() {
    std::string name = text(xml_.qualifiedName());
    auto found = ignoredIndex_.find(name);
    if (found != ignoredIndex_.end())
      ++ignoredOrder_[found->second].second;
    else if (ignoredOrder_.size() < kMostIgnoredNames) {
      ignoredIndex_.emplace(name, ignoredOrder_.size());
      ignoredOrder_.emplace_back(std::move(name), 1);
    }
    xml_.skipCurrentElement();
  }

  // An attribute's number, kAbsent when it is missing.
  double number(const QXmlStreamAttributes& attributes, QLatin1String name) const {
    if (!attributes.hasAttribute(name))
      return kAbsent;
    const QStringView word = attributes.value(name);
    const Number n = strictValue(word);
    if (n.fault != NumberFault::None)
      throw badNumber(place(), std::string(name.latin1(), std::size_t(name.size())), word, n.fault);
    return n.value;
  }

  // The numbers of an element's text, each one strict, between XML's blanks
  // (spaces, tabs, line breaks).
  std::vector<double> numbers(QStringView words, const char* what) const {
    if (xml_.hasError())
      throw notXml();
    std::vector<double> values;
    const auto blank = [](QChar c) { return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r'; };
    for (qsizetype i = 0; i < words.size();) {
      if (blank(words[i])) {
        ++i;
        continue;
      }
      qsizetype end = i;
      while (end < words.size() && !blank(words[end]))
        ++end;
      const QStringView word = words.mid(i, end - i);
      const Number n = strictValue(word);
      if (n.fault != NumberFault::None)
        throw badNumber(place(), what, word, n.fault);
      values.push_back(n.value);
      i = end;
    }
    return values;
  }

  void readUnits() {
    while (readChild()) {
      const bool metric = ours(u"Metric"), imperial = ours(u"Imperial");
      if (!metric && !imperial) {
        xml_.skipCurrentElement();
        continue;
      }
      const QXmlStreamAttributes attributes = xml_.attributes();
      const QStringView linear = attributes.value(QLatin1String("linearUnit")).trimmed();
      if (linear.isEmpty() && imperial)
        throw refusedAt(place(), Say::LandXmlImperialWithoutUnit);
      if (!linear.isEmpty())
        file_.length = lengthScale(linear);
      file_.elevation = file_.length;
      const QStringView elevation = attributes.value(QLatin1String("elevationUnit")).trimmed();
      if (elevation.compare(QLatin1String("meter"), Qt::CaseInsensitive) == 0)
        file_.elevation = {LengthUnit::Metre, 1};
      else if (elevation.compare(QLatin1String("kilometer"), Qt::CaseInsensitive) == 0)
        file_.elevation = {LengthUnit::Kilometre, 1e3};
      else if (elevation.compare(QLatin1String("feet"), Qt::CaseInsensitive) == 0 &&
               file_.length.unit != LengthUnit::UsSurveyFoot)
        file_.elevation = {LengthUnit::Foot, 0.3048}; // the survey foot's feet stay survey feet
      xml_.skipCurrentElement();
    }
  }

  LengthScale lengthScale(QStringView name) const {
    for (const auto& unit : kLengthUnits)
      if (name.compare(QLatin1String(unit.name), Qt::CaseInsensitive) == 0)
        return unit.scale;
    throw refusedAt(place(), Say::LandXmlUnknownLengthUnit, {name.toString().toStdString()});
  }

  void readAlignments() {
    while (readChild()) {
      if (!ours(u"Alignment")) {
        xml_.skipCurrentElement();
        continue;
      }
      const std::string name = text(xml_.attributes().value(QLatin1String("name")));
      file_.names.push_back(name);
      if (!file_.alignment && (wanted_.empty() || name == wanted_)) {
        file_.chosen = file_.names.size() - 1;
        readAlignment(name);
      } else {
        xml_.skipCurrentElement();
      }
    }
  }

  void readAlignment(const std::string& name) {
    RawAlignment a;
    a.name = name;
    a.place = place();
    a.staStart = number(xml_.attributes(), QLatin1String("staStart"));
    while (readChild()) {
      if (ours(u"CoordGeom"))
        readGeometry(a);
      else if (ours(u"StaEquation"))
        readEquation(a);
      else if (ours(u"Profile"))
        readProfile(a);
      else if (ours(u"Superelevation"))
        readSuperelevation(a);
      else
        ignore();
    }
    file_.alignment = std::move(a);
  }

  void readSuperelevation(RawAlignment& a) {
    if (a.superelevations.size() >= kMostLandXmlSuperelevations) {
      if (!a.beyondMost)
        a.beyondMost = place();
      xml_.skipCurrentElement();
      return;
    }
    RawSuperelevation s;
    s.place = place();
    while (readChild()) {
      const auto station = std::ranges::find_if(
          kStationNames, [&](const char16_t* name) { return ours(QStringView(name)); });
      if (station != kStationNames.end())
        s.stations[std::size_t(station - kStationNames.begin())] = oneNumber(s);
      else if (ours(u"FullSuperelev"))
        s.full = oneNumber(s);
      else if (ours(u"AdverseSE"))
        s.adverse = readText().trimmed() == QLatin1String("adverse");
      else
        ignore();
    }
    a.superelevations.push_back(s);
  }

  // The element's text as one strict number; kAbsent, and the fault kept,
  // where it is not one: the Superelevation is then skipped, not the file.
  double oneNumber(RawSuperelevation& s) {
    const std::string name = text(xml_.name());
    const QString words = readText();
    const Number n = strictValue(words);
    if (n.fault == NumberFault::None)
      return n.value;
    if (!s.fault)
      s.fault = failure(Say::LandXmlSuperelevationSkipped, std::to_string(s.place.line),
                        Say::LandXmlSuperelevationNotANumber, {name, words.toStdString()});
    return kAbsent;
  }

  void readGeometry(RawAlignment& a) {
    while (readChild()) {
      RawElement e;
      if (ours(u"Line"))
        e.kind = RawElement::Kind::Line;
      else if (ours(u"Spiral"))
        e.kind = RawElement::Kind::Spiral;
      else if (ours(u"Curve"))
        e.kind = RawElement::Kind::Arc;
      else if (ours(u"Feature") || !isLandXml(xml_.namespaceUri())) {
        ignore();
        continue;
      } else
        throw refusedAt(place(), Say::LandXmlGeometryUnsupported, {text(xml_.name())});
      if (a.elements.size() >= kMostLandXmlElements)
        throw tooMany(Say::LandXmlTooManyElements, kMostLandXmlElements);
      readElement(e);
      a.elements.push_back(std::move(e));
    }
  }

  void readElement(RawElement& e) {
    e.place = place();
    const QXmlStreamAttributes attributes = xml_.attributes();
    e.name = text(attributes.value(QLatin1String("name")));
    e.staStart = number(attributes, QLatin1String("staStart"));
    e.length = number(attributes, QLatin1String("length"));
    e.radius = number(attributes, QLatin1String("radius"));
    if (e.kind == RawElement::Kind::Spiral) {
      e.radiusStart = spiralRadius(attributes, QLatin1String("radiusStart"));
      e.radiusEnd = spiralRadius(attributes, QLatin1String("radiusEnd"));
    }
    const QStringView rot = attributes.value(QLatin1String("rot")).trimmed();
    e.rot = rot == QLatin1String("cw") ? 1 : rot == QLatin1String("ccw") ? -1 : 0;
    while (readChild()) {
      std::optional<PlanePoint>* slot = ours(u"Start")    ? &e.start
                                        : ours(u"End")    ? &e.end
                                        : ours(u"Center") ? &e.centre
                                                          : nullptr;
      if (!slot) {
        if (!ours(u"PI")) // the PI follows from the rest
          ignore();
        else
          xml_.skipCurrentElement();
        continue;
      }
      const QString name = xml_.name().toString();
      if (xml_.attributes().hasAttribute(QLatin1String("pntRef")))
        throw refusedAt(place(), Say::LandXmlPointByReference);
      const std::vector<double> values = numbers(readText(), "the point's coordinate");
      if (values.size() < 2 || values.size() > 3)
        throw refusedAt(place(), Say::LandXmlPointNeedsTwoNumbers, {name.toStdString()});
      *slot = PlanePoint{values[0], values[1]};
    }
  }

  // A spiral's radius at one end: INF (or none given, or 0) is the straight.
  double spiralRadius(const QXmlStreamAttributes& attributes, QLatin1String name) const {
    const QStringView value = attributes.value(name).trimmed();
    if (value.isEmpty() || value.compare(QLatin1String("INF"), Qt::CaseInsensitive) == 0 ||
        value.compare(QLatin1String("-INF"), Qt::CaseInsensitive) == 0 ||
        value.compare(QLatin1String("infinity"), Qt::CaseInsensitive) == 0)
      return kInfinite;
    const double radius = number(attributes, name);
    if (radius < 0)
      throw refusedAt(place(), Say::LandXmlSpiralRadiusNotRadius,
                      {std::string_view(name.latin1(), std::size_t(name.size()))});
    return radius == 0 ? kInfinite : radius;
  }

  void readEquation(RawAlignment& a) {
    if (a.equations.size() >= kMostLandXmlBreaks)
      throw tooMany(Say::LandXmlTooManyEquations, kMostLandXmlBreaks);
    const QXmlStreamAttributes attributes = xml_.attributes();
    RawEquation q;
    q.place = place();
    q.name = text(attributes.value(QLatin1String("desc")));
    q.back = number(attributes, QLatin1String("staBack"));
    q.ahead = number(attributes, QLatin1String("staAhead"));
    q.internal = number(attributes, QLatin1String("staInternal"));
    a.equations.push_back(std::move(q));
    while (readChild())
      ignore();
  }

  // Only the first ProfAlign: the design's grade line.
  void readProfile(RawAlignment& a) {
    while (readChild()) {
      if (!ours(u"ProfAlign") || a.profileRead) {
        ignore();
        continue;
      }
      a.profileRead = true;
      while (readChild()) {
        RawProfilePoint p;
        if (ours(u"PVI"))
          p.kind = RawProfilePoint::Kind::Pvi;
        else if (ours(u"ParaCurve"))
          p.kind = RawProfilePoint::Kind::Parabola;
        else if (ours(u"UnsymParaCurve"))
          p.kind = RawProfilePoint::Kind::Asymmetric;
        else if (ours(u"CircCurve"))
          p.kind = RawProfilePoint::Kind::Circle;
        else if (ours(u"Feature") || !isLandXml(xml_.namespaceUri())) {
          ignore();
          continue;
        } else
          throw refusedAt(place(), Say::LandXmlProfileUnsupported, {text(xml_.name())});
        if (a.profile.size() >= kMostLandXmlGradePoints)
          throw tooMany(Say::LandXmlTooManyGradePoints, kMostLandXmlGradePoints);
        readProfilePoint(p, xml_.name().toString());
        a.profile.push_back(std::move(p));
      }
    }
  }

  void readProfilePoint(RawProfilePoint& p, const QString& name) {
    p.place = place();
    const QXmlStreamAttributes attributes = xml_.attributes();
    p.name = text(attributes.value(QLatin1String("desc")));
    if (p.name.empty())
      p.name = text(attributes.value(QLatin1String("name")));
    p.length = number(attributes, QLatin1String("length"));
    p.radius = number(attributes, QLatin1String("radius"));
    p.lengthIn = number(attributes, QLatin1String("lengthIn"));
    p.lengthOut = number(attributes, QLatin1String("lengthOut"));
    const std::vector<double> values = numbers(readText(), "the grade point's number");
    if (values.size() != 2)
      throw refusedAt(place(), Say::LandXmlGradePointNeedsTwoNumbers, {name.toStdString()});
    p.station = values[0];
    p.elevation = values[1];
  }

  // The element's text, skipping any element inside it (a Feature).
  QString readText() {
    QString words;
    while (!xml_.atEnd()) {
      const auto token = xml_.readNext();
      if (token == QXmlStreamReader::Characters)
        words += xml_.text();
      else if (token == QXmlStreamReader::StartElement)
        ignore();
      else if (token == QXmlStreamReader::EndElement)
        break;
    }
    return words;
  }

  Refusal tooMany(Say say, std::size_t most) const {
    return refusedAt(place(), say, {std::to_string(most), std::to_string(kMostLandXmlJds)});
  }

public:
  static Refusal tooLarge() {
    return failure(Say::LandXmlTooLarge, {std::to_string(kMostLandXmlBytes >> 20)});
  }

private:
  QXmlStreamReader& xml_;
  const ScannedDevice& bytes_;
  const std::string& wanted_;
  RawFile file_;
  std::map<std::string, std::size_t> ignoredIndex_;
  std::vector<std::pair<std::string, std::size_t>> ignoredOrder_;
};

// ----- units -----

// Every length of the alignment in metres.
void toMetres(RawAlignment& a, double length, double elevation) {
  if (length == 1 && elevation == 1)
    return;
  const auto scale = [length](double& v) { v *= length; };
  const auto point = [length](std::optional<PlanePoint>& p) {
    if (p)
      *p = PlanePoint{p->x * length, p->y * length};
  };
  scale(a.staStart);
  for (RawElement& e : a.elements) {
    for (double* v : {&e.staStart, &e.length, &e.radius, &e.radiusStart, &e.radiusEnd})
      scale(*v);
    point(e.start);
    point(e.end);
    point(e.centre);
  }
  for (RawEquation& q : a.equations)
    for (double* v : {&q.back, &q.ahead, &q.internal})
      scale(*v);
  for (RawProfilePoint& p : a.profile) {
    for (double* v : {&p.station, &p.length, &p.radius, &p.lengthIn, &p.lengthOut})
      scale(*v);
    p.elevation *= elevation;
  }
  for (RawSuperelevation& e : a.superelevations)
    for (double& v : e.stations)
      scale(v);
}

// ----- attributes -----

Refusal refused(const RawElement& e, Say say, std::initializer_list<std::string_view> blanks = {}) {
  return refusedAt(e.place, say, blanks);
}

double needed(const RawElement& e, double value, const char* name) {
  if (!(value > 0))
    throw refused(e, Say::LandXmlElementNeedsPositive, {name});
  return value;
}

PlanePoint needed(const RawElement& e, const std::optional<PlanePoint>& p, const char* name) {
  if (!p)
    throw refused(e, Say::LandXmlElementHasNo, {name});
  return *p;
}

// ----- the centre line: straights and the curves between them -----

struct CurveRun {
  const RawElement *first = nullptr, *arc = nullptr, *second = nullptr;
  double radius = 0, ls1 = 0, ls2 = 0, turn = 0;
  std::string name;
  PlaneLine in, out; // the tangents at its ends: on its straights
};

double radiusOfArc(const RawElement& arc) {
  if (arc.radius > 0)
    return arc.radius;
  return route::distanceBetween(needed(arc, arc.centre, "Center"), needed(arc, arc.start, "Start"));
}

double turnOfArc(const RawElement& arc) {
  if (arc.rot != 0)
    return arc.rot;
  const PlanePoint c = needed(arc, arc.centre, "Center");
  const double turn = route::turnBetween(route::azimuthBetween(c, needed(arc, arc.start, "Start")),
                                         route::azimuthBetween(c, needed(arc, arc.end, "End")));
  return turn >= 0 ? 1 : -1;
}

// The tangent of an arc at one of its ends: at right angles to the radius.
PlaneLine arcTangent(const RawElement& arc, double turn, bool atStart) {
  const PlanePoint p = needed(arc, atStart ? arc.start : arc.end, atStart ? "Start" : "End");
  const PlanePoint c = needed(arc, arc.centre, "Center");
  return {p, route::reducedAzimuth(route::azimuthBetween(p, c) - turn * route::kHalfTurn / 2)};
}

// The tangent of a clothoid at its straight end, from the chord to its other
// end: the chord turns from that tangent by the angle of the clothoid's own
// end point, atan(y / x), to the side the curve turns.
PlaneLine spiralStraightTangent(const RawElement& s, double radius, double turn, bool atStart) {
  const double length = needed(s, s.length, "length");
  const route::LocalPoint far = route::clothoidPoint(length, radius * length);
  const double bend = std::atan2(far.y, far.x);
  const PlanePoint start = needed(s, s.start, "Start"), end = needed(s, s.end, "End");
  if (atStart)
    return {start, route::reducedAzimuth(route::azimuthBetween(start, end) - turn * bend)};
  return {end, route::reducedAzimuth(route::azimuthBetween(end, start) - route::kHalfTurn +
                                     turn * bend)};
}

bool sameRadius(double a, double b) {
  return std::fabs(a - b) <= std::max(kSameRadius, 1e-6 * std::max(a, b));
}

class CentreLine {
public:
  explicit CentreLine(const std::vector<RawElement>& elements) : elements_(elements) {
    if (elements.empty())
      throw failure(Say::LandXmlNoGeometryElements);
    for (next_ = 0; next_ < elements.size();) {
      if (elements[next_].kind == RawElement::Kind::Line)
        addLine(elements[next_++]);
      else
        addRun(readRun());
      if (corners_.size() > kMostLandXmlJds)
        throw failure(Say::LandXmlTooManyJds, {std::to_string(kMostLandXmlJds)});
    }
    if (!open_)
      throw failure(Say::LandXmlNoGeometry);
    straights_.push_back(open_->line);
  }

  const std::vector<PlaneLine>& straights() const { return straights_; }
  // Between straights k and k + 1: a curve, or none (an angle point).
  const std::vector<std::optional<CurveRun>>& corners() const { return corners_; }

private:
  struct Open {
    PlaneLine line;
    double length; // of the Line it comes from; 0 for a curve's tangent
  };

  void addLine(const RawElement& e) {
    const PlanePoint a = needed(e, e.start, "Start"), b = needed(e, e.end, "End");
    const double length = route::distanceBetween(a, b);
    const Open line{{a, route::azimuthBetween(a, b)}, length};
    if (!open_) {
      open_ = line;
    } else if (afterLine_) {
      // Two Lines in a row: one straight, or an angle point between them.
      if (std::fabs(route::turnBetween(open_->line.azimuth, line.line.azimuth)) < kParallel) {
        if (length > open_->length)
          open_ = line;
      } else if (length >= kShortestDirectingLine && open_->length >= kShortestDirectingLine) {
        straights_.push_back(open_->line);
        corners_.emplace_back();
        open_ = line;
      }
    } else if (length >= kShortestDirectingLine) {
      open_ = line;
    }
    afterLine_ = true;
  }

  void addRun(const CurveRun& run) {
    if (!open_ || open_->length < kShortestDirectingLine)
      open_ = Open{run.in, 0};
    straights_.push_back(open_->line);
    corners_.push_back(run);
    open_ = Open{run.out, 0};
    afterLine_ = false;
  }

  const RawElement* take(RawElement::Kind kind) {
    if (next_ < elements_.size() && elements_[next_].kind == kind)
      return &elements_[next_++];
    return nullptr;
  }

  // A clothoid from the straight (or none), an arc (or none) and a clothoid
  // back to the straight (or none).
  CurveRun readRun() {
    CurveRun run;
    const RawElement* s = take(RawElement::Kind::Spiral);
    if (s) {
      if (s->radiusStart != kInfinite)
        throw spiralRefused(*s);
      run.first = s;
      run.radius = s->radiusEnd;
    }
    run.arc = take(RawElement::Kind::Arc);
    if (run.arc) {
      const double r = radiusOfArc(*run.arc);
      if (run.first && !sameRadius(r, run.radius))
        throw radiiDiffer(*run.arc, run.radius, r);
      run.radius = r;
    }
    if (const RawElement* t = take(RawElement::Kind::Spiral)) {
      if (t->radiusStart == kInfinite || t->radiusEnd != kInfinite) {
        if (!run.arc && !run.first)
          throw spiralRefused(*t);
        --next_; // the next curve's first clothoid
      } else {
        if ((run.arc || run.first) && !sameRadius(t->radiusStart, run.radius))
          throw radiiDiffer(*t, run.radius, t->radiusStart);
        run.second = t;
      }
    }
    if (!run.arc && !(run.first && run.second)) {
      const RawElement& e = run.first ? *run.first : elements_[next_ - 1];
      throw refused(e, Say::LandXmlSpiralLeadsNowhere);
    }
    const RawElement& any = run.arc ? *run.arc : *run.first;
    run.turn = run.arc ? turnOfArc(*run.arc) : any.rot;
    for (const RawElement* spiral : {run.first, run.second})
      if (spiral && spiral->rot == 0)
        throw refused(*spiral, Say::LandXmlSpiralWithoutTurn);
    if (run.first)
      run.ls1 = needed(*run.first, run.first->length, "length");
    if (run.second)
      run.ls2 = needed(*run.second, run.second->length, "length");
    run.in = run.first ? spiralStraightTangent(*run.first, run.radius, run.turn, true)
                       : arcTangent(*run.arc, run.turn, true);
    run.out = run.second ? spiralStraightTangent(*run.second, run.radius, run.turn, false)
                         : arcTangent(*run.arc, run.turn, false);
    run.name = run.arc ? run.arc->name : run.first->name;
    return run;
  }

  static Refusal spiralRefused(const RawElement& s) {
    const auto r = [](double v) { return v == kInfinite ? std::string("INF") : metres(v); };
    const double from = s.radiusStart, to = s.radiusEnd;
    if (from != kInfinite && to != kInfinite)
      return refused(s, Say::LandXmlSpiralBetweenArcs, {r(from), r(to)});
    return refused(s, Say::LandXmlSpiralOutOfRun, {r(from), r(to)});
  }

  static Refusal radiiDiffer(const RawElement& e, double before, double here) {
    return refused(e, Say::LandXmlCompoundCurve, {metres(here), metres(before)});
  }

  const std::vector<RawElement>& elements_;
  std::size_t next_ = 0;
  std::optional<Open> open_;
  bool afterLine_ = false;
  std::vector<PlaneLine> straights_;
  std::vector<std::optional<CurveRun>> corners_;
};

// ----- the route -----

double staStartOf(const RawAlignment& a) {
  if (std::isfinite(a.staStart))
    return a.staStart;
  if (std::isfinite(a.elements.front().staStart))
    return a.elements.front().staStart;
  return 0;
}

// The chain breaks: staBack where given, else the chainage counted on from
// the break before (or from BP) to staInternal.
std::vector<route::ChainBreak> breaksOf(const RawAlignment& a, double staStart) {
  std::vector<route::ChainBreak> breaks;
  double internal = staStart, chainage = staStart;
  for (std::size_t i = 0; i < a.equations.size(); ++i) {
    const RawEquation& q = a.equations[i];
    const std::string n = std::to_string(i + 1);
    double behind = q.back;
    if (!std::isfinite(behind) && std::isfinite(q.internal))
      behind = chainage + (q.internal - internal);
    if (!std::isfinite(behind) || !std::isfinite(q.ahead))
      throw refusedAt(q.place, Say::LandXmlEquationIncomplete, {n});
    breaks.push_back({q.name.empty() ? "DL" + n : q.name, behind, q.ahead});
    if (std::isfinite(q.internal)) {
      internal = q.internal;
      chainage = q.ahead;
    }
  }
  return breaks;
}

route::RouteDefinition definitionOf(const RawAlignment& a, const CentreLine& line) {
  route::RouteDefinition d;
  d.name = a.name;
  const PlanePoint bp = needed(a.elements.front(), a.elements.front().start, "Start");
  const PlanePoint ep = needed(a.elements.back(), a.elements.back().end, "End");
  const double staStart = staStartOf(a);
  d.start = {"BP", bp.x, bp.y, staStart};
  d.end = {"EP", ep.x, ep.y};
  const auto& straights = line.straights();
  d.jds.reserve(line.corners().size());
  for (std::size_t k = 0; k < line.corners().size(); ++k) {
    const auto& run = line.corners()[k];
    const auto jd = meeting(straights[k], straights[k + 1]);
    if (!jd)
      throw failure(Say::LandXmlParallelStraights, {std::to_string(k + 1)});
    route::Jd j;
    j.name = run && !run->name.empty() ? run->name : "JD" + std::to_string(k + 1);
    j.x = jd->x;
    j.y = jd->y;
    if (run) {
      j.radius = run->radius;
      j.ls1 = run->ls1;
      if (run->ls2 != run->ls1)
        j.ls2 = run->ls2;
    }
    d.jds.push_back(std::move(j));
  }
  d.breaks = breaksOf(a, staStart);
  return d;
}

// The main points of the route made must be the file's.
void checkFit(const route::Route& route, const CentreLine& line) {
  for (std::size_t k = 0; k < line.corners().size(); ++k) {
    const auto& run = line.corners()[k];
    if (!run)
      continue;
    const route::JdResult jd = route.jd(k);
    const std::string name = route.definition().jds[k].name;
    if (!jd.inRoute || !jd.curve.curved)
      throw failure(Say::LandXmlNoCurve,
                    {name, route.checks().empty() ? "" : route.checks().front().message});
    const route::Curve& c = jd.curve;
    const struct {
      const char* name;
      PlanePoint made;
      const RawElement* element;
      bool atStart;
    } points[] = {{"ZH", c.zh, run->first ? run->first : run->arc, true},
                  {"HY", c.hy, run->arc ? run->arc : run->first, run->arc != nullptr},
                  {"YH", c.yh, run->arc ? run->arc : run->second, run->arc == nullptr},
                  {"HZ", c.hz, run->second ? run->second : run->arc, false}};
    for (const auto& p : points) {
      const PlanePoint given = *(p.atStart ? p.element->start : p.element->end);
      const double off = route::distanceBetween(p.made, given);
      if (!(off <= kLandXmlFit))
        throw refused(*p.element, Say::LandXmlMainPointOff, {name, p.name, metres(off)});
    }
  }
}

// ----- the centre line as elements, where it is no JD route -----

// An element of some length, as a row of a route by elements, and the points
// the file gives for it.
struct PlacedElement {
  route::ElementRow row;
  const RawElement* raw;
};

route::Turn turnOfRot(signed char rot) {
  return rot > 0 ? route::Turn::Right : rot < 0 ? route::Turn::Left : route::Turn::None;
}

// The length of an arc from its points: the angle between its radii to
// Start and End, turned the way it turns, times R.
double arcLengthOf(const RawElement& arc, double radius, double turn) {
  const PlanePoint c = needed(arc, arc.centre, "Center");
  const double from = route::azimuthBetween(c, needed(arc, arc.start, "Start"));
  const double to = route::azimuthBetween(c, needed(arc, arc.end, "End"));
  return route::reducedAzimuth(turn * (to - from)) * radius;
}

// The row an element of the file makes; none for one of no length. A
// spiral whose two radii are the same is the arc (or straight) it is.
std::optional<PlacedElement> placed(const RawElement& e) {
  using route::ElementKind;
  route::ElementRow row;
  row.name = e.name;
  if (e.length == 0)
    return std::nullopt;
  switch (e.kind) {
  case RawElement::Kind::Line:
    row.kind = ElementKind::Straight;
    row.length = std::isfinite(e.length)
                     ? e.length
                     : route::distanceBetween(needed(e, e.start, "Start"), needed(e, e.end, "End"));
    break;
  case RawElement::Kind::Arc: {
    row.kind = ElementKind::Arc;
    row.startRadius = row.endRadius = radiusOfArc(e);
    const double turn = turnOfArc(e);
    row.turn = turn > 0 ? route::Turn::Right : route::Turn::Left;
    row.length = std::isfinite(e.length) ? e.length : arcLengthOf(e, row.startRadius, turn);
    break;
  }
  case RawElement::Kind::Spiral:
    row.length = needed(e, e.length, "length");
    row.startRadius = e.radiusStart == kInfinite ? route::kNoRadius : e.radiusStart;
    row.endRadius = e.radiusEnd == kInfinite ? route::kNoRadius : e.radiusEnd;
    if (e.radiusStart == kInfinite && e.radiusEnd == kInfinite)
      row.kind = ElementKind::Straight;
    else if (e.radiusStart != kInfinite && e.radiusEnd != kInfinite &&
             sameRadius(e.radiusStart, e.radiusEnd))
      row.kind = ElementKind::Arc;
    else
      row.kind = ElementKind::Clothoid;
    row.turn = turnOfRot(e.rot);
    if (row.kind != ElementKind::Straight && row.turn == route::Turn::None)
      throw refused(e, Say::LandXmlSpiralWithoutTurn);
    break;
  }
  if (row.length < 0)
    throw refused(e, Say::LandXmlElementLengthNegative);
  if (!(row.length > 0))
    return std::nullopt;
  row.x = needed(e, e.start, "Start").x;
  row.y = e.start->y;
  return PlacedElement{std::move(row), &e};
}

double curvatureOf(double radius) { return radius == route::kNoRadius ? 0 : 1 / radius; }

// The azimuth an element starts along, from its chord: the chord turns from
// the start tangent by the angle of the element's own end point seen from
// its start, to the side it turns.
double startAzimuthOf(const PlacedElement& e) {
  const route::ElementRow& row = e.row;
  const PlanePoint start = *e.raw->start, end = needed(*e.raw, e.raw->end, "End");
  double k0 = 0, k1 = 0;
  if (row.kind != route::ElementKind::Straight) {
    k0 = curvatureOf(row.startRadius);
    k1 = row.kind == route::ElementKind::Arc ? k0 : curvatureOf(row.endRadius);
  }
  const route::LocalPoint far = route::spiralPoint(row.length, k0, (k1 - k0) / row.length);
  const double turn = row.turn == route::Turn::Left ? -1 : 1;
  return route::reducedAzimuth(route::azimuthBetween(start, end) - turn * std::atan2(far.y, far.x));
}

// The file's points and the route's, for each element its start and end.
struct PointPair {
  PlanePoint file, made;
};

std::vector<PointPair> pointPairs(const std::vector<PlacedElement>& elements,
                                  const route::Route& route) {
  std::vector<PointPair> pairs;
  pairs.reserve(2 * elements.size());
  for (std::size_t k = 0; k < elements.size(); ++k) {
    const route::Element e = route.element(k);
    const RawElement& raw = *elements[k].raw;
    pairs.push_back({*raw.start, route.pointAt(e.start)->point});
    pairs.push_back({*raw.end, route.pointAt(e.start + e.length)->point});
  }
  return pairs;
}

// The turn about BP that brings the route's points nearest the file's
// (least squares): the start azimuth from the whole alignment rather than
// its first element's chord, whose rounded digits would swing a long route.
double bestTurn(const std::vector<PointPair>& pairs, PlanePoint bp) {
  double cross = 0, dot = 0;
  for (const PointPair& p : pairs) {
    const double mx = p.made.x - bp.x, my = p.made.y - bp.y;
    const double fx = p.file.x - bp.x, fy = p.file.y - bp.y;
    cross += mx * fy - my * fx;
    dot += mx * fx + my * fy;
  }
  return std::atan2(cross, dot);
}

// Every element's start and end where the file has them.
void checkFit(const std::vector<PlacedElement>& elements, const route::Route& route) {
  const std::vector<PointPair> pairs = pointPairs(elements, route);
  for (std::size_t i = 0; i < pairs.size(); ++i) {
    const double off = route::distanceBetween(pairs[i].file, pairs[i].made);
    if (!(off <= kLandXmlFit)) {
      const RawElement& e = *elements[i / 2].raw;
      const char* end = i % 2 ? "End" : "Start";
      throw refused(e, Say::LandXmlElementsDoNotJoin, {end, metres(off)});
    }
  }
}

// The alignment as a route by elements: from the first element's Start
// along its start tangent (turned to fit the whole alignment best), each
// element of some length a row with the file's Start as its given start.
route::Route elementRouteOf(const RawAlignment& a) {
  route::RouteDefinition d;
  d.name = a.name;
  d.method = route::Method::Elements;
  std::vector<PlacedElement> elements;
  for (const RawElement& e : a.elements) {
    if (auto p = placed(e)) {
      needed(e, e.end, "End");
      elements.push_back(std::move(*p));
    }
  }
  if (elements.empty())
    throw failure(Say::LandXmlNoElementOfLength);
  d.elements.reserve(elements.size());
  for (const PlacedElement& e : elements)
    d.elements.push_back(e.row);
  const PlanePoint bp = *elements.front().raw->start;
  d.start = {"BP", bp.x, bp.y, staStartOf(a), startAzimuthOf(elements.front())};
  const PlanePoint ep = *elements.back().raw->end;
  d.end = {"EP", ep.x, ep.y};
  d.breaks = breaksOf(a, d.start.chainage);
  d.start.azimuth =
      route::reducedAzimuth(d.start.azimuth + bestTurn(pointPairs(elements, route::Route(d)), bp));
  route::Route made(std::move(d));
  checkFit(elements, made);
  return made;
}

// A JD route where the alignment is straights and curves between them
// (CentreLine), with every main point where the file has it; otherwise the
// route by its elements.
route::Route centreLineOf(const RawAlignment& a) {
  try {
    const CentreLine line(a.elements);
    route::Route made(definitionOf(a, line));
    if (made.hasGeometry()) {
      checkFit(made, line);
      return made;
    }
  } catch (const Refusal&) {
    // not straights and curves between them: the elements as they are
  }
  return elementRouteOf(a);
}

// A curve's Rv from its length over the change of grade at the point.
double radiusOfLength(double length, double change) {
  return length > 0 && change > 0 && std::isfinite(change) ? length / change : 0;
}

// Grade points at chainages of the route made: an internal station is BP's
// chainage plus the distance along the centre line, carried on beyond the
// route's ends.
std::vector<route::GradePointRow> gradePointsOf(const RawAlignment& a, const route::Route& route) {
  std::vector<route::GradePointRow> rows;
  rows.reserve(a.profile.size());
  const double staStart = route.definition().start.chainage;
  const auto& points = a.profile;
  const auto grade = [&](std::size_t i, std::size_t j) {
    return (points[j].elevation - points[i].elevation) / (points[j].station - points[i].station);
  };
  for (std::size_t i = 0; i < points.size(); ++i) {
    const RawProfilePoint& p = points[i];
    route::GradePointRow row;
    row.name = p.name.empty() ? "PVI" + std::to_string(i + 1) : p.name;
    row.chainage = route.chainages().chainageAt(p.station - staStart);
    row.elevation = p.elevation;
    const bool interior = i > 0 && i + 1 < points.size();
    const double change = interior ? std::fabs(grade(i, i + 1) - grade(i - 1, i)) : 0;
    switch (p.kind) {
    case RawProfilePoint::Kind::Pvi: break;
    case RawProfilePoint::Kind::Parabola:
      row.verticalRadius = radiusOfLength(p.length, change);
      break;
    case RawProfilePoint::Kind::Circle:
      row.verticalRadius =
          std::fabs(p.radius) > 0 ? std::fabs(p.radius) : radiusOfLength(p.length, change);
      break;
    case RawProfilePoint::Kind::Asymmetric:
      if (p.lengthIn > 0 && p.lengthOut > 0) {
        row.tangentIn = p.lengthIn;
        row.tangentOut = p.lengthOut;
      }
      break;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

// ----- superelevation -----

// The station table's rows of the Superelevations, and those skipped.
struct SuperelevationRead {
  std::vector<route::SectionStation> rows;
  std::size_t curves = 0;
  std::vector<Failure> skipped;
};

// A Superelevation's curve: the one whose main points hold the middle of its
// full section (measures), its turn; 0 where none does.
int turnAt(const std::vector<section::CurveSpan>& curves, double measure) {
  for (const section::CurveSpan& c : curves)
    if (c.turn != 0 && measure >= c.zh && measure <= c.hz)
      return c.turn;
  return 0;
}

// The falls at a station, outer and inner side: the normal crown (empty), the
// outer side level, the full section (house sign: outer +i_h, inner -i_h).
struct StationFalls {
  std::optional<double> outer, inner;
};
StationFalls fallsAt(SuperStation station, double full) {
  switch (station) {
  case BeginRunoff:
  case StartRunout: return {0.0, std::nullopt};
  case FullSuper:
  case EndFull: return {full, -full};
  default: return {};
  }
}

// Why a Superelevation cannot be read, before its curve is looked for.
std::optional<Say> faultOf(const RawSuperelevation& s) {
  if (s.adverse)
    return Say::LandXmlSuperelevationAdverse;
  const double full = std::fabs(s.full);
  if (!(full > 0 && full <= kMostLandXmlSuperelevation))
    return Say::LandXmlSuperelevationNoRate;
  if (!std::isfinite(s.stations[FullSuper]) || !std::isfinite(s.stations[EndFull]))
    return Say::LandXmlSuperelevationNoFullSection;
  double last = -kInfinite;
  for (double station : s.stations) {
    if (station < last)
      return Say::LandXmlSuperelevationOutOfOrder;
    if (std::isfinite(station))
      last = station;
  }
  return std::nullopt;
}

SuperelevationRead superelevationOf(const RawAlignment& a, const route::Route& route) {
  SuperelevationRead read;
  const std::vector<section::CurveSpan> curves = section::curveSpans(route);
  const double staStart = route.definition().start.chainage;
  double lastMeasure = -kInfinite;
  for (const RawSuperelevation& s : a.superelevations) {
    const auto skip = [&](Say why, std::initializer_list<std::string_view> blanks = {}) {
      read.skipped.push_back(
          failure(Say::LandXmlSuperelevationSkipped, std::to_string(s.place.line), why, blanks));
    };
    if (s.fault) {
      read.skipped.push_back(*s.fault);
      continue;
    }
    if (const auto why = faultOf(s)) {
      skip(*why, {formatNumber(kMostLandXmlSuperelevation)});
      continue;
    }
    const double middle = (s.stations[FullSuper] + s.stations[EndFull]) / 2 - staStart;
    const int turn = turnAt(curves, middle);
    if (turn == 0) {
      skip(Say::LandXmlSuperelevationNoCurve);
      continue;
    }
    const auto first = std::ranges::find_if(s.stations, [](double v) { return std::isfinite(v); });
    if (!(*first - staStart > lastMeasure)) {
      skip(Say::LandXmlSuperelevationOverlaps);
      continue;
    }
    for (std::size_t k = 0; k < kStations; ++k) {
      const double measure = s.stations[k] - staStart;
      if (!std::isfinite(measure) || !(measure > lastMeasure))
        continue; // not given, or at the station before: one row there
      const StationFalls f = fallsAt(SuperStation(k), std::fabs(s.full));
      route::SectionStation row;
      row.chainage = route.chainages().chainageAt(measure);
      (turn > 0 ? row.leftFall : row.rightFall) = f.outer;
      (turn > 0 ? row.rightFall : row.leftFall) = f.inner;
      read.rows.push_back(row);
      lastMeasure = measure;
    }
    ++read.curves;
  }
  if (a.beyondMost)
    read.skipped.push_back(
        failure(Say::LandXmlTooManySuperelevations,
                {std::to_string(a.beyondMost->line), std::to_string(kMostLandXmlSuperelevations)}));
  return read;
}

route::RouteDefinition routeOf(RawFile& file, const std::string& wanted,
                               SuperelevationRead& superelevation) {
  if (file.names.empty())
    throw failure(Say::LandXmlNoAlignment);
  if (!file.alignment) {
    std::string names;
    for (const std::string& name : file.names)
      names += (names.empty() ? "'" : ", '") + name + "'";
    throw failure(Say::LandXmlNoAlignmentNamed, {wanted, names});
  }
  RawAlignment& a = *file.alignment;
  toMetres(a, file.length.metres, file.elevation.metres);
  if (a.elements.empty())
    throw failure(Say::LandXmlNoGeometryElements);
  const route::Route made = centreLineOf(a);
  route::RouteDefinition d = made.definition();
  if (!made.hasGeometry())
    throw failure(Say::LandXmlNoRoute,
                  {made.checks().empty() ? std::string() : made.checks().front().message});
  d.gradePoints = gradePointsOf(a, made);
  superelevation = superelevationOf(a, made);
  d.section.stations = superelevation.rows;
  return d;
}

LandXmlImport importFrom(QIODevice& source, const std::string& alignment) {
  LandXmlImport read;
  try {
    ScannedDevice bytes(source);
    QXmlStreamReader xml(&bytes);
    RawFile file = FileReader(xml, bytes, alignment).read();
    SuperelevationRead superelevation;
    read.route = routeOf(file, alignment, superelevation);
    read.superelevations = superelevation.curves;
    read.skipped = std::move(superelevation.skipped);
    read.alignments = std::move(file.names);
    read.chosen = file.chosen;
    read.unit = file.length.unit;
    read.ignored = std::move(file.ignored);
  } catch (const Refusal& r) {
    read.route.reset();
    read.message = r.message;
    read.notice = r.notice;
  }
  return read;
}

// ----- what was read, in words -----

Say unitWords(LengthUnit unit) {
  switch (unit) {
  case LengthUnit::Metre: return Say::UnitMetres;
  case LengthUnit::Millimetre: return Say::UnitMillimetres;
  case LengthUnit::Centimetre: return Say::UnitCentimetres;
  case LengthUnit::Kilometre: return Say::UnitKilometres;
  case LengthUnit::Foot: return Say::UnitInternationalFeet;
  case LengthUnit::UsSurveyFoot: return Say::UnitUsSurveyFeet;
  case LengthUnit::Inch: return Say::UnitInches;
  }
  return Say::UnitMetres;
}

std::string ignoredList(const LandXmlImport& read) {
  std::string list;
  for (const IgnoredElement& e : read.ignored)
    list += (list.empty() ? "" : ", ") + e.name +
            (e.count > 1 ? " (" + std::to_string(e.count) + ")" : std::string());
  return list;
}

LandXmlImport refusedImport(const Refusal& why) {
  LandXmlImport read;
  read.message = why.message;
  read.notice = why.notice;
  return read;
}

} // namespace

LandXmlImport readLandXml(std::string_view bytes, const std::string& alignment) {
  if (bytes.size() > kMostLandXmlBytes)
    return refusedImport(FileReader::tooLarge());
  QByteArray raw = QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size()));
  QBuffer buffer(&raw);
  buffer.open(QIODevice::ReadOnly);
  return importFrom(buffer, alignment);
}

// Told from the file system before a byte is read: a FIFO, a device or a
// folder is refused at once (a FIFO with no writer never blocks), and so is
// a file larger than the most the reader takes.
LandXmlImport openLandXml(const std::string& path, const std::string& alignment) {
  const auto failed = [](const FileError& error) {
    const Failure why = fileFailure(error);
    return refusedImport({why.message, why.notice});
  };
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0)
    return failed(systemError(FileAct::Read, path, errno));
  if (const auto other = notRegular(FileAct::Read, path, info.st_mode))
    return failed(*other);
  if (static_cast<std::size_t>(info.st_size) > kMostLandXmlBytes)
    return refusedImport(FileReader::tooLarge());
  QFile file(QString::fromStdString(path));
  errno = 0;
  if (!file.open(QIODevice::ReadOnly))
    return failed(systemError(FileAct::Read, path, errno != 0 ? errno : EIO));
  return importFrom(file, alignment);
}

namespace {

// The rows the route is given by: its JDs, or its elements.
std::size_t rowsOf(const route::RouteDefinition& d) {
  return d.method == route::Method::Elements ? d.elements.size() : d.jds.size();
}

// What was read, in English or in Chinese.
template <class Words> std::string summaryOf(const LandXmlImport& read, Words words) {
  if (!read.route)
    return {};
  const bool elements = read.route->method == route::Method::Elements;
  std::string text =
      words(elements ? Say::LandXmlReadElements : Say::LandXmlReadJds,
            {std::to_string(rowsOf(*read.route)), std::to_string(read.route->gradePoints.size()),
             read.alignments[read.chosen], std::to_string(read.chosen + 1),
             std::to_string(read.alignments.size())});
  if (read.superelevations > 0)
    text += words(Say::LandXmlReadSuperelevation, {std::to_string(read.superelevations)});
  if (read.unit != LengthUnit::Metre)
    text += words(Say::LandXmlConvertedFrom, {words(unitWords(read.unit), {})});
  return text;
}

// The elements ignored, then the Superelevations skipped, each with why.
// `said` the language's part of a failure.
template <class Words>
std::string ignoredOf(const LandXmlImport& read, Words words, std::string Failure::*said) {
  std::string text =
      read.ignored.empty() ? std::string() : words(Say::LandXmlIgnored, {ignoredList(read)});
  for (const Failure& f : read.skipped)
    text += (text.empty() ? std::string() : words(Say::LandXmlApart, {})) + f.*said;
  return text;
}

std::string inEnglish(Say say, std::initializer_list<std::string_view> blanks) {
  return english(say, blanks);
}
std::string inChinese(Say say, std::initializer_list<std::string_view> blanks) {
  return chinese(say, blanks);
}

} // namespace

std::string importSummary(const LandXmlImport& read) { return summaryOf(read, inEnglish); }
std::string importSummaryZh(const LandXmlImport& read) { return summaryOf(read, inChinese); }
std::string ignoredSummary(const LandXmlImport& read) {
  return ignoredOf(read, inEnglish, &Failure::message);
}
std::string ignoredSummaryZh(const LandXmlImport& read) {
  return ignoredOf(read, inChinese, &Failure::notice);
}

} // namespace quenlor::exchange
