// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/landxml.h"

#include "exchange/plane_lines.h"
#include "route/element_table.h"
#include "session/route_model.h"

#include <QByteArray>
#include <QXmlStreamWriter>

#include <charconv>
#include <set>

namespace quenlor::exchange {
namespace {

using route::Route;

QString number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return QString::fromLatin1(text, end - text);
}

QString utf8(const std::string& text) { return QString::fromStdString(text); }

// "northing easting": X, the survey's north, first.
QString pointText(PlanePoint p) { return number(p.x) + ' ' + number(p.y); }

QString rotation(route::Turn turn) {
  return turn == route::Turn::Right ? QStringLiteral("cw") : QStringLiteral("ccw");
}

// Checks that leave the route without one continuous centre line.
bool breaksCentreLine(route::CheckKind kind) {
  using enum route::CheckKind;
  return kind == CurvesOverlap || kind == StartLegTooShort || kind == EndLegTooShort ||
         kind == NoRoute;
}

// The centre line in route order, each element as its row of the element
// table gives it (route/element_table.h): a Line, a Spiral (its radius at
// each end, INF where it has none) or a Curve, with its Start, End and the
// PI where the tangents at its ends meet, a Curve its Center too. A JD's
// pieces carry the JD's name, a route by elements' its rows'.
class Writer {
public:
  Writer(QXmlStreamWriter& xml, const Route& route, double staStart)
      : xml_(xml), route_(route), staStart_(staStart) {}

  void write() {
    const route::ElementTable table = route::elementTable(route_);
    const auto& spans = route_.spans();
    xml_.writeStartElement(QStringLiteral("CoordGeom"));
    for (std::size_t i = 0; i < table.rows.size(); ++i) {
      const route::ElementTableRow& row = table.rows[i];
      const PlaneLine start{row.start, row.startAzimuth};
      const PlaneLine end = i + 1 < table.rows.size()
                                ? PlaneLine{table.rows[i + 1].start, table.rows[i + 1].startAzimuth}
                                : PlaneLine{table.end->point, table.end->azimuth};
      element(row, nameOf(row, spans[i]), start, end);
    }
    xml_.writeEndElement();
  }

private:
  std::string nameOf(const route::ElementTableRow& row, const Route::Span& span) const {
    if (route_.byElements())
      return row.name;
    if (row.kind == route::ElementKind::Straight)
      return {};
    const int jd = route_.element(std::size_t(span.element)).owner;
    return route_.definition().jds[std::size_t(jd)].name;
  }

  void element(const route::ElementTableRow& row, const std::string& name, const PlaneLine& start,
               const PlaneLine& end) {
    using route::ElementKind;
    const QString radiusStart = radius(row.startRadius), radiusEnd = radius(row.endRadius);
    switch (row.kind) {
    case ElementKind::Straight:
      xml_.writeStartElement(QStringLiteral("Line"));
      if (!name.empty())
        xml_.writeAttribute(QStringLiteral("name"), utf8(name));
      break;
    case ElementKind::Clothoid:
      xml_.writeStartElement(QStringLiteral("Spiral"));
      xml_.writeAttribute(QStringLiteral("name"), utf8(name));
      xml_.writeAttribute(QStringLiteral("spiType"), QStringLiteral("clothoid"));
      xml_.writeAttribute(QStringLiteral("radiusStart"), radiusStart);
      xml_.writeAttribute(QStringLiteral("radiusEnd"), radiusEnd);
      xml_.writeAttribute(QStringLiteral("rot"), rotation(row.turn));
      break;
    case ElementKind::Arc:
      xml_.writeStartElement(QStringLiteral("Curve"));
      xml_.writeAttribute(QStringLiteral("name"), utf8(name));
      xml_.writeAttribute(QStringLiteral("crvType"), QStringLiteral("arc"));
      xml_.writeAttribute(QStringLiteral("rot"), rotation(row.turn));
      xml_.writeAttribute(QStringLiteral("radius"), radiusStart);
      break;
    }
    xml_.writeAttribute(QStringLiteral("length"), number(row.length));
    xml_.writeAttribute(QStringLiteral("staStart"), number(staStart_ + row.startMeasure));
    point("Start", start.at);
    if (row.kind == ElementKind::Arc)
      point("Center", centreOf(row));
    point("End", end.at);
    if (row.kind != ElementKind::Straight)
      if (const auto pi = meeting(start, end))
        point("PI", *pi);
    xml_.writeEndElement();
  }

  static QString radius(double r) {
    return r == route::kNoRadius ? QStringLiteral("INF") : number(r);
  }

  // At the radius from the start, square to the tangent on the side it turns.
  static PlanePoint centreOf(const route::ElementTableRow& arc) {
    const double turn = arc.turn == route::Turn::Right ? 1 : -1;
    return route::moved(arc.start, route::rightOf(route::along(arc.startAzimuth)),
                        turn * arc.startRadius);
  }

  void point(const char* name, PlanePoint p) {
    xml_.writeTextElement(QString::fromLatin1(name), pointText(p));
  }

  QXmlStreamWriter& xml_;
  const Route& route_;
  double staStart_;
};

void writeGeometry(QXmlStreamWriter& xml, const Route& route, double staStart) {
  Writer(xml, route, staStart).write();
}

void writeBreaks(QXmlStreamWriter& xml, const Route& route, double staStart) {
  const route::ChainageMap& map = route.chainages();
  for (const route::ChainSegment& segment : map.segments()) {
    if (segment.chainBreak < 0)
      continue;
    const route::ChainBreak& b = route.definition().breaks[std::size_t(segment.chainBreak)];
    xml.writeEmptyElement(QStringLiteral("StaEquation"));
    xml.writeAttribute(QStringLiteral("desc"), utf8(b.name));
    xml.writeAttribute(QStringLiteral("staBack"), number(b.behind));
    xml.writeAttribute(QStringLiteral("staAhead"), number(b.ahead));
    xml.writeAttribute(QStringLiteral("staInternal"), number(staStart + segment.startMeasure));
  }
}

// The grade points the design line goes through: those the profile's checks
// leave out are not written.
void writeProfile(QXmlStreamWriter& xml, const RouteModel& model, double staStart) {
  const Profile& profile = model.profile();
  if (!profile.hasLine())
    return;
  std::set<std::size_t> leftOut;
  for (const ProfileCheck& check : profile.checks())
    if (check.kind == CheckKind::NotFinite || check.kind == CheckKind::OutOfOrder ||
        check.kind == CheckKind::SameMeasure)
      leftOut.insert(check.point);
  const QString name = utf8(model.definition().name);
  xml.writeStartElement(QStringLiteral("Profile"));
  xml.writeAttribute(QStringLiteral("name"), name);
  xml.writeStartElement(QStringLiteral("ProfAlign"));
  xml.writeAttribute(QStringLiteral("name"), name);
  auto curve = profile.curves().begin(); // in route order, as the points
  for (std::size_t i = 0; i < profile.points().size(); ++i) {
    if (leftOut.contains(i))
      continue;
    const GradePoint& p = profile.points()[i];
    const bool curved = curve != profile.curves().end() && curve->point == i;
    const bool asymmetric = curved && curve->radius == 0;
    xml.writeStartElement(!curved      ? QStringLiteral("PVI")
                          : asymmetric ? QStringLiteral("UnsymParaCurve")
                                       : QStringLiteral("ParaCurve"));
    xml.writeAttribute(QStringLiteral("desc"), utf8(p.name));
    if (asymmetric) {
      xml.writeAttribute(QStringLiteral("lengthIn"), number(curve->tangentIn));
      xml.writeAttribute(QStringLiteral("lengthOut"), number(curve->tangentOut));
    } else if (curved) {
      xml.writeAttribute(QStringLiteral("length"), number(curve->length));
    }
    xml.writeCharacters(number(staStart + p.measure) + ' ' + number(p.elevation));
    xml.writeEndElement();
    curve += curved ? 1 : 0;
  }
  xml.writeEndElement();
  xml.writeEndElement();
}

} // namespace

Expected<std::string> landXmlText(const RouteModel& model, const Stamp& stamp) {
  const Route& route = model.route();
  if (!route.hasGeometry())
    return Failure{"the route has no geometry to write (see 'route check')"};
  for (const route::Check& check : route.checks())
    if (breaksCentreLine(check.kind))
      return Failure{"the route's centre line is not continuous: " + check.message};
  const double staStart = route.definition().start.chainage;

  QByteArray bytes;
  QXmlStreamWriter xml(&bytes);
  xml.setAutoFormatting(true);
  xml.setAutoFormattingIndent(1);
  xml.writeStartDocument();
  xml.writeDefaultNamespace(
      QString::fromLatin1(kLandXmlNamespace.data(), qsizetype(kLandXmlNamespace.size())));
  xml.writeStartElement(QStringLiteral("LandXML"));
  xml.writeAttribute(QStringLiteral("version"), QStringLiteral("1.2"));
  xml.writeAttribute(QStringLiteral("date"), utf8(stamp.date));
  xml.writeAttribute(QStringLiteral("time"), utf8(stamp.time));
  xml.writeComment(QStringLiteral(" Points are northing easting: X (north), then Y (east). Stations"
                                  " are internal: chain breaks do not interrupt them. "));
  xml.writeStartElement(QStringLiteral("Units"));
  xml.writeEmptyElement(QStringLiteral("Metric"));
  xml.writeAttribute(QStringLiteral("linearUnit"), QStringLiteral("meter"));
  xml.writeAttribute(QStringLiteral("areaUnit"), QStringLiteral("squareMeter"));
  xml.writeAttribute(QStringLiteral("volumeUnit"), QStringLiteral("cubicMeter"));
  xml.writeAttribute(QStringLiteral("temperatureUnit"), QStringLiteral("celsius"));
  xml.writeAttribute(QStringLiteral("pressureUnit"), QStringLiteral("milliBars"));
  xml.writeAttribute(QStringLiteral("angularUnit"), QStringLiteral("decimal degrees"));
  xml.writeAttribute(QStringLiteral("directionUnit"), QStringLiteral("decimal degrees"));
  xml.writeEndElement();
  xml.writeEmptyElement(QStringLiteral("Application"));
  xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Quenlor"));
  xml.writeAttribute(QStringLiteral("version"), QStringLiteral(QUENLOR_VERSION));
  xml.writeStartElement(QStringLiteral("Alignments"));
  xml.writeStartElement(QStringLiteral("Alignment"));
  xml.writeAttribute(QStringLiteral("name"), utf8(route.definition().name));
  xml.writeAttribute(QStringLiteral("length"), number(route.length()));
  xml.writeAttribute(QStringLiteral("staStart"), number(staStart));
  writeGeometry(xml, route, staStart);
  writeBreaks(xml, route, staStart);
  writeProfile(xml, model, staStart);
  xml.writeEndDocument();
  return bytes.toStdString();
}

Expected<Done> saveLandXml(const std::string& path, const RouteModel& route, const Stamp& stamp) {
  const auto text = landXmlText(route, stamp);
  if (!text)
    return Failure{text.error()};
  return saveBytes(path, *text);
}

} // namespace quenlor::exchange
