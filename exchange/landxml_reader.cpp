// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/landxml.h"

#include "exchange/plane_lines.h"
#include "files/read_file.h"
#include "numeric/chainage_text.h"
#include "numeric/strict_number.h"
#include "route/clothoid.h"
#include "route/route.h"
#include "text/utf8.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <cmath>
#include <limits>
#include <sstream>
#include <variant>
#include <vector>

namespace quenlor::exchange {
namespace {

using route::Direction;

constexpr double kInfinite = std::numeric_limits<double>::infinity();
// A Line shorter than this gives no direction of its own: the tangent of
// the curve beside it does.
constexpr double kShortestDirectingLine = 1;
// Radii of the pieces of one curve agree to this (metres, or a millionth).
constexpr double kSameRadius = 1e-3;

// Why a file is not read: in English for the driver, in Chinese for the
// window.
struct Refusal {
  std::string message, notice;
};

std::string metres(double value) {
  std::ostringstream text;
  text.precision(3);
  text << std::fixed << value;
  return text.str();
}

// ----- the file as read -----

struct RawElement {
  enum class Kind { Line, Spiral, Arc } kind = Kind::Line;
  qint64 line = 0; // where it stands in the file
  std::string name;
  QXmlStreamAttributes attributes;
  std::optional<PlanePoint> start, end, centre;
};

struct RawProfilePoint {
  enum class Kind { Pvi, Parabola, Circle } kind = Kind::Pvi;
  qint64 line = 0;
  std::string name;
  QXmlStreamAttributes attributes;
  double station = 0, elevation = 0;
};

struct RawAlignment {
  std::string name;
  QXmlStreamAttributes attributes;
  std::vector<RawElement> elements;
  std::vector<QXmlStreamAttributes> equations;
  std::vector<RawProfilePoint> profile;
  bool profileRead = false;
};

std::string text(QStringView view) { return view.toString().toStdString(); }

std::optional<double> numberOf(QStringView word) {
  const QByteArray bytes = word.toLatin1();
  const auto value = strictNumber(std::string_view(bytes.data(), std::size_t(bytes.size())));
  if (!value || !route::isUsableValue(*value))
    return std::nullopt;
  return value;
}

class FileReader {
public:
  explicit FileReader(QXmlStreamReader& xml) : xml_(xml) {}

  std::vector<RawAlignment> read() {
    if (!xml_.readNextStartElement())
      throw notXml();
    if (xml_.name() != QLatin1String("LandXML"))
      throw Refusal{"this is not a LandXML file: its root element is <" + text(xml_.name()) + ">",
                    "这不是 LandXML 文件：根元素是 <" + text(xml_.name()) + ">"};
    while (xml_.readNextStartElement()) {
      if (xml_.name() == QLatin1String("Alignments"))
        readAlignments();
      else
        xml_.skipCurrentElement();
    }
    while (!xml_.atEnd())
      xml_.readNext();
    if (xml_.hasError())
      throw notXml();
    return std::move(alignments_);
  }

private:
  Refusal notXml() const {
    const std::string where = "line " + std::to_string(xml_.lineNumber()) + ", column " +
                              std::to_string(xml_.columnNumber());
    const std::string zh = "第 " + std::to_string(xml_.lineNumber()) + " 行第 " +
                           std::to_string(xml_.columnNumber()) + " 列";
    return {"the file is not well-formed XML (" + where + "): " + xml_.errorString().toStdString(),
            "文件不是完整的 XML（" + zh + "）：" + xml_.errorString().toStdString()};
  }

  Refusal badValue(const std::string& what) const {
    const std::string line = std::to_string(xml_.lineNumber());
    return {"line " + line + ": " + what, "第 " + line + " 行：" + what};
  }

  void readAlignments() {
    while (xml_.readNextStartElement()) {
      if (xml_.name() == QLatin1String("Alignment"))
        readAlignment();
      else
        xml_.skipCurrentElement();
    }
  }

  void readAlignment() {
    RawAlignment a;
    a.attributes = xml_.attributes();
    a.name = text(a.attributes.value(QLatin1String("name")));
    while (xml_.readNextStartElement()) {
      const QStringView name = xml_.name();
      if (name == QLatin1String("CoordGeom"))
        readGeometry(a);
      else if (name == QLatin1String("StaEquation")) {
        a.equations.push_back(xml_.attributes());
        xml_.skipCurrentElement();
      } else if (name == QLatin1String("Profile"))
        readProfile(a);
      else
        xml_.skipCurrentElement();
    }
    alignments_.push_back(std::move(a));
  }

  void readGeometry(RawAlignment& a) {
    while (xml_.readNextStartElement()) {
      const QStringView name = xml_.name();
      RawElement e;
      if (name == QLatin1String("Line"))
        e.kind = RawElement::Kind::Line;
      else if (name == QLatin1String("Spiral"))
        e.kind = RawElement::Kind::Spiral;
      else if (name == QLatin1String("Curve"))
        e.kind = RawElement::Kind::Arc;
      else
        throw badValue("<" + text(name) +
                       "> in the alignment's geometry is not supported: only Line, Spiral and "
                       "Curve");
      e.line = xml_.lineNumber();
      e.attributes = xml_.attributes();
      e.name = text(e.attributes.value(QLatin1String("name")));
      readElementPoints(e);
      a.elements.push_back(std::move(e));
    }
  }

  void readElementPoints(RawElement& e) {
    while (xml_.readNextStartElement()) {
      const QStringView name = xml_.name();
      std::optional<PlanePoint>* slot = name == QLatin1String("Start")    ? &e.start
                                        : name == QLatin1String("End")    ? &e.end
                                        : name == QLatin1String("Center") ? &e.centre
                                                                          : nullptr;
      if (!slot) {
        xml_.skipCurrentElement();
        continue;
      }
      if (xml_.attributes().hasAttribute(QLatin1String("pntRef")))
        throw badValue("points given by reference (pntRef) are not supported");
      const std::vector<double> values = numbers(xml_.readElementText());
      if (values.size() < 2 || values.size() > 3)
        throw badValue("<" + text(name) + "> needs 'northing easting' as two numbers");
      *slot = PlanePoint{values[0], values[1]};
    }
  }

  // Only the first ProfAlign: the design's grade line.
  void readProfile(RawAlignment& a) {
    while (xml_.readNextStartElement()) {
      if (xml_.name() != QLatin1String("ProfAlign") || a.profileRead) {
        xml_.skipCurrentElement();
        continue;
      }
      a.profileRead = true;
      while (xml_.readNextStartElement()) {
        const QStringView name = xml_.name();
        RawProfilePoint p;
        if (name == QLatin1String("PVI"))
          p.kind = RawProfilePoint::Kind::Pvi;
        else if (name == QLatin1String("ParaCurve"))
          p.kind = RawProfilePoint::Kind::Parabola;
        else if (name == QLatin1String("CircCurve"))
          p.kind = RawProfilePoint::Kind::Circle;
        else
          throw badValue("<" + text(name) +
                         "> in the profile is not supported: only PVI, ParaCurve and CircCurve");
        p.line = xml_.lineNumber();
        p.attributes = xml_.attributes();
        p.name = text(p.attributes.value(QLatin1String("desc")));
        const std::vector<double> values = numbers(xml_.readElementText());
        if (values.size() != 2)
          throw badValue("<" + text(name) + "> needs 'station elevation' as two numbers");
        p.station = values[0];
        p.elevation = values[1];
        a.profile.push_back(std::move(p));
      }
    }
  }

  std::vector<double> numbers(const QString& words) const {
    if (xml_.hasError())
      throw notXml();
    std::vector<double> values;
    const QString simple = words.simplified();
    for (const QStringView word : QStringView(simple).split(u' ', Qt::SkipEmptyParts)) {
      const auto value = numberOf(word);
      if (!value)
        throw badValue("'" + word.toString().toStdString() + "' is not a number");
      values.push_back(*value);
    }
    return values;
  }

  QXmlStreamReader& xml_;
  std::vector<RawAlignment> alignments_;
};

// ----- attributes -----

std::string where(const RawElement& e) { return "line " + std::to_string(e.line); }
std::string whereZh(const RawElement& e) { return "第 " + std::to_string(e.line) + " 行"; }

Refusal refused(const RawElement& e, const std::string& what, const std::string& zh) {
  return {where(e) + ": " + what, whereZh(e) + "：" + zh};
}

std::optional<double> attribute(const QXmlStreamAttributes& attributes, const char* name) {
  if (!attributes.hasAttribute(QLatin1String(name)))
    return std::nullopt;
  return numberOf(attributes.value(QLatin1String(name)).trimmed());
}

double needed(const RawElement& e, const char* name) {
  const auto value = attribute(e.attributes, name);
  if (!value || !(*value > 0))
    throw refused(e, std::string("the element needs a positive ") + name,
                  std::string("元素缺少正的 ") + name);
  return *value;
}

PlanePoint needed(const RawElement& e, const std::optional<PlanePoint>& p, const char* name) {
  if (!p)
    throw refused(e, std::string("the element has no <") + name + ">",
                  std::string("元素缺少 <") + name + ">");
  return *p;
}

// A spiral's radius at one end: INF (or none given, or 0) is the straight.
double spiralRadius(const RawElement& e, const char* name) {
  const QStringView value = e.attributes.value(QLatin1String(name)).trimmed();
  if (value.isEmpty() || value.compare(QLatin1String("INF"), Qt::CaseInsensitive) == 0 ||
      value.compare(QLatin1String("infinity"), Qt::CaseInsensitive) == 0)
    return kInfinite;
  const auto radius = numberOf(value);
  if (!radius || *radius < 0)
    throw refused(e, std::string("the spiral's ") + name + " is not a radius",
                  std::string("缓和曲线的 ") + name + " 不是半径");
  return *radius == 0 ? kInfinite : *radius;
}

// +1 turning right (cw), -1 left (ccw), 0 not said.
double rotation(const RawElement& e) {
  const QStringView rot = e.attributes.value(QLatin1String("rot")).trimmed();
  if (rot == QLatin1String("cw"))
    return 1;
  if (rot == QLatin1String("ccw"))
    return -1;
  return 0;
}

// ----- the centre line: straights and the curves between them -----

struct CurveRun {
  const RawElement *first = nullptr, *arc = nullptr, *second = nullptr;
  double radius = 0, ls1 = 0, ls2 = 0, turn = 0;
  std::string name;
  PlaneLine in, out; // the tangents at its ends: on its straights
};

double radiusOfArc(const RawElement& arc) {
  if (const auto r = attribute(arc.attributes, "radius"); r && *r > 0)
    return *r;
  return route::distanceBetween(needed(arc, arc.centre, "Center"), needed(arc, arc.start, "Start"));
}

double turnOfArc(const RawElement& arc) {
  if (const double rot = rotation(arc); rot != 0)
    return rot;
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
  const double length = needed(s, "length");
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
      throw Refusal{"the alignment has no geometry (no Line, Spiral or Curve)",
                    "线形中没有几何元素（Line、Spiral 或 Curve）"};
    for (next_ = 0; next_ < elements.size();) {
      if (elements[next_].kind == RawElement::Kind::Line)
        addLine(elements[next_++]);
      else
        addRun(readRun());
    }
    if (!open_)
      throw Refusal{"the alignment has no geometry", "线形中没有几何元素"};
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
      const double from = spiralRadius(*s, "radiusStart"), to = spiralRadius(*s, "radiusEnd");
      if (from != kInfinite)
        throw spiralRefused(*s, from, to);
      run.first = s;
      run.radius = to;
    }
    run.arc = take(RawElement::Kind::Arc);
    if (run.arc) {
      const double r = radiusOfArc(*run.arc);
      if (run.first && !sameRadius(r, run.radius))
        throw radiiDiffer(*run.arc, run.radius, r);
      run.radius = r;
    }
    if (const RawElement* t = take(RawElement::Kind::Spiral)) {
      const double from = spiralRadius(*t, "radiusStart"), to = spiralRadius(*t, "radiusEnd");
      if (from == kInfinite || to != kInfinite) {
        if (!run.arc && !run.first)
          throw spiralRefused(*t, from, to);
        --next_; // the next curve's first clothoid
      } else {
        if ((run.arc || run.first) && !sameRadius(from, run.radius))
          throw radiiDiffer(*t, run.radius, from);
        run.second = t;
      }
    }
    if (!run.arc && !(run.first && run.second)) {
      const RawElement& e = run.first ? *run.first : elements_[next_ - 1];
      throw refused(e,
                    "a clothoid from the straight that meets no arc and no clothoid back to a "
                    "straight is not supported",
                    "缓和曲线之后没有圆曲线，也没有回到直线的缓和曲线：不支持");
    }
    const RawElement& any = run.arc ? *run.arc : *run.first;
    run.turn = run.arc ? turnOfArc(*run.arc) : rotation(any);
    for (const RawElement* spiral : {run.first, run.second})
      if (spiral && rotation(*spiral) == 0)
        throw refused(*spiral, "the spiral does not say which way it turns (rot)",
                      "缓和曲线缺少转向（rot）");
    if (run.first)
      run.ls1 = needed(*run.first, "length");
    if (run.second)
      run.ls2 = needed(*run.second, "length");
    run.in = run.first ? spiralStraightTangent(*run.first, run.radius, run.turn, true)
                       : arcTangent(*run.arc, run.turn, true);
    run.out = run.second ? spiralStraightTangent(*run.second, run.radius, run.turn, false)
                         : arcTangent(*run.arc, run.turn, false);
    run.name = run.arc ? run.arc->name : run.first->name;
    return run;
  }

  static Refusal spiralRefused(const RawElement& s, double from, double to) {
    const auto r = [](double v) { return v == kInfinite ? std::string("INF") : metres(v); };
    if (from != kInfinite && to != kInfinite)
      return refused(s,
                     "a spiral between two arcs (R " + r(from) + " to R " + r(to) +
                         ") is not supported: only straight - clothoid - arc - clothoid - "
                         "straight runs",
                     "两段圆曲线之间的缓和曲线（R " + r(from) + " 至 R " + r(to) +
                         "）不支持：只支持 直线—缓和曲线—圆曲线—缓和曲线—直线");
    return refused(s,
                   "a spiral from R " + r(from) + " to R " + r(to) +
                       " does not fit a straight - clothoid - arc - clothoid - straight run",
                   "R " + r(from) + " 至 R " + r(to) +
                       " 的缓和曲线不在 直线—缓和曲线—圆曲线—缓和曲线—直线 之中");
  }

  static Refusal radiiDiffer(const RawElement& e, double before, double here) {
    return refused(e,
                   "the radius " + metres(here) + " does not meet the radius " + metres(before) +
                       " before it: a compound curve is not supported",
                   "半径 " + metres(here) + " 与前面的半径 " + metres(before) +
                       " 不一致：不支持复曲线");
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
  if (const auto sta = attribute(a.attributes, "staStart"))
    return *sta;
  if (const auto sta = attribute(a.elements.front().attributes, "staStart"))
    return *sta;
  return 0;
}

route::RouteDefinition definitionOf(const RawAlignment& a, const CentreLine& line) {
  route::RouteDefinition d;
  d.name = a.name;
  const PlanePoint bp = needed(a.elements.front(), a.elements.front().start, "Start");
  const PlanePoint ep = needed(a.elements.back(), a.elements.back().end, "End");
  d.start = {"BP", bp.x, bp.y, staStartOf(a)};
  d.end = {"EP", ep.x, ep.y};
  const auto& straights = line.straights();
  for (std::size_t k = 0; k < line.corners().size(); ++k) {
    const auto& run = line.corners()[k];
    const auto jd = meeting(straights[k], straights[k + 1]);
    if (!jd)
      throw Refusal{"the straights before and after curve " + std::to_string(k + 1) +
                        " are parallel: no JD",
                    "第 " + std::to_string(k + 1) + " 个曲线前后的直线平行：没有交点"};
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
  for (std::size_t i = 0; i < a.equations.size(); ++i) {
    const auto back = attribute(a.equations[i], "staBack");
    const auto ahead = attribute(a.equations[i], "staAhead");
    const std::string n = std::to_string(i + 1);
    if (!back || !ahead)
      throw Refusal{"station equation " + n + " needs staBack and staAhead as numbers",
                    "第 " + n + " 个断链（StaEquation）缺少 staBack 或 staAhead"};
    const std::string desc = a.equations[i].value(QLatin1String("desc")).toString().toStdString();
    d.breaks.push_back({desc.empty() ? "DL" + n : desc, *back, *ahead});
  }
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
      throw Refusal{name + ": no curve can be made from the straights, R and Ls (" +
                        (route.checks().empty() ? "" : route.checks().front().message) + ")",
                    name + "：由直线、R 和 Ls 不能构成曲线"};
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
        throw refused(*p.element,
                      name + ": the " + p.name + " made from the straights, R and Ls lies " +
                          metres(off) +
                          " m from the file's: the elements are not one straight - clothoid - "
                          "arc - clothoid - straight run",
                      name + "：由直线、R 和 Ls 算出的 " + p.name + " 与文件中的相差 " +
                          metres(off) + " m，元素不构成 直线—缓和曲线—圆曲线—缓和曲线—直线");
    }
  }
}

// Grade points at chainages of the route made: an internal station is BP's
// chainage plus the distance along the centre line.
std::vector<route::GradePointRow> gradePointsOf(const RawAlignment& a, const route::Route& route) {
  std::vector<route::GradePointRow> rows;
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
    if (p.kind == RawProfilePoint::Kind::Circle) {
      const auto radius = attribute(p.attributes, "radius");
      row.verticalRadius = radius && *radius > 0 ? *radius : 0;
    } else if (p.kind == RawProfilePoint::Kind::Parabola && interior) {
      const auto length = attribute(p.attributes, "length");
      const double change = std::fabs(grade(i, i + 1) - grade(i - 1, i));
      if (length && *length > 0 && change > 0 && std::isfinite(change))
        row.verticalRadius = *length / change;
    }
    rows.push_back(std::move(row));
  }
  return rows;
}

route::RouteDefinition routeOf(const std::vector<RawAlignment>& alignments) {
  if (alignments.empty())
    throw Refusal{"the file holds no alignment", "文件中没有线形（Alignment）"};
  if (alignments.size() > 1) {
    std::string names;
    for (const RawAlignment& a : alignments)
      names += (names.empty() ? "'" : ", '") + a.name + "'";
    const std::string count = std::to_string(alignments.size());
    throw Refusal{"the file holds " + count + " alignments (" + names +
                      "); only a file of one alignment can be read",
                  "文件中有 " + count + " 条线形（" + names + "），只能读入只有一条线形的文件"};
  }
  const RawAlignment& a = alignments.front();
  const CentreLine line(a.elements);
  route::RouteDefinition d = definitionOf(a, line);
  route::Route made(d);
  if (!made.hasGeometry())
    throw Refusal{"the alignment gives no route: " +
                      (made.checks().empty() ? std::string() : made.checks().front().message),
                  "线形不能构成路线"};
  checkFit(made, line);
  d.gradePoints = gradePointsOf(a, made);
  return d;
}

} // namespace

LandXmlImport readLandXml(std::string_view bytes) {
  if (bytes.size() > kMostLandXmlBytes)
    return {std::nullopt,
            "the file is larger than " + std::to_string(kMostLandXmlBytes >> 20) +
                " MiB; it is not read",
            "文件大于 " + std::to_string(kMostLandXmlBytes >> 20) + " MiB，不读入"};
  try {
    QXmlStreamReader xml(QByteArray::fromRawData(bytes.data(), qsizetype(bytes.size())));
    return {routeOf(FileReader(xml).read()), {}, {}};
  } catch (const Refusal& r) {
    return {std::nullopt, r.message, r.notice};
  }
}

// The file is read only when it is a regular file within the size limit
// (files/read_file.h); a NUL byte outside UTF-16 or UTF-32 text (which a
// byte-order mark announces) is no XML to read.
LandXmlImport openLandXml(const std::string& path) {
  const auto read = readFile(path, kMostLandXmlBytes);
  if (!read)
    return {std::nullopt, read.error(), read.notice()};
  const std::string_view bytes = read->bytes;
  const bool wide = bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF") ||
                    bytes.starts_with(std::string_view("\0\0\xFE\xFF", 4));
  if (const auto nul = bytes.find('\0'); nul != std::string_view::npos && !wide) {
    const TextPosition at = positionOf(bytes, nul);
    const std::string line = std::to_string(at.line), column = std::to_string(at.column);
    return {std::nullopt,
            "a NUL character at line " + line + ", column " + column + " (a binary file?)",
            "第 " + line + " 行第 " + column + " 列有 NUL 字符（二进制文件？）"};
  }
  return readLandXml(bytes);
}

} // namespace quenlor::exchange
