// SPDX-License-Identifier: GPL-3.0-or-later
#include "exchange/landxml.h"

#include "exchange/plane_lines.h"
#include "session/route_model.h"

#include <QByteArray>
#include <QXmlStreamWriter>

#include <charconv>
#include <set>

namespace quenlor::exchange {
namespace {

using route::Curve;
using route::Route;

QString number(double value) {
  char text[32];
  const auto end = std::to_chars(text, text + sizeof text, value).ptr;
  return QString::fromLatin1(text, end - text);
}

QString utf8(const std::string& text) { return QString::fromStdString(text); }

// "northing easting": X, the survey's north, first.
QString pointText(PlanePoint p) { return number(p.x) + ' ' + number(p.y); }

QString rotation(double turn) { return turn > 0 ? QStringLiteral("cw") : QStringLiteral("ccw"); }

// Checks that leave the route without one continuous centre line.
bool breaksCentreLine(route::CheckKind kind) {
  using enum route::CheckKind;
  return kind == CurvesOverlap || kind == StartLegTooShort || kind == EndLegTooShort ||
         kind == NoRoute;
}

class Writer {
public:
  Writer(QXmlStreamWriter& xml, double staStart) : xml_(xml), staStart_(staStart) {}

  void line(PlanePoint from, PlanePoint to, double measure) {
    const double length = route::distanceBetween(from, to);
    if (!(length > 0))
      return;
    xml_.writeStartElement(QStringLiteral("Line"));
    xml_.writeAttribute(QStringLiteral("length"), number(length));
    xml_.writeAttribute(QStringLiteral("staStart"), number(staStart_ + measure));
    point("Start", from);
    point("End", to);
    xml_.writeEndElement();
  }

  // The clothoid from the straight at ZH to the arc at HY, or from the arc
  // at YH to the straight at HZ.
  void spiral(const Curve& c, const std::string& name, bool first, double measure) {
    const double length = first ? c.ls1 : c.ls2;
    if (!(length > 0))
      return;
    const QString radius = number(c.radius), straight = QStringLiteral("INF");
    const PlaneLine start = first ? PlaneLine{c.zh, c.incomingAzimuth} : yh(c);
    const PlaneLine end = first ? hy(c) : PlaneLine{c.hz, c.outgoingAzimuth};
    xml_.writeStartElement(QStringLiteral("Spiral"));
    xml_.writeAttribute(QStringLiteral("name"), utf8(name));
    xml_.writeAttribute(QStringLiteral("spiType"), QStringLiteral("clothoid"));
    xml_.writeAttribute(QStringLiteral("length"), number(length));
    xml_.writeAttribute(QStringLiteral("radiusStart"), first ? straight : radius);
    xml_.writeAttribute(QStringLiteral("radiusEnd"), first ? radius : straight);
    xml_.writeAttribute(QStringLiteral("rot"), rotation(c.turn));
    xml_.writeAttribute(QStringLiteral("staStart"), number(staStart_ + measure));
    elementPoints(start, end, std::nullopt);
    xml_.writeEndElement();
  }

  void arc(const Curve& c, const std::string& name, double measure) {
    if (!(c.arcLength > 0))
      return;
    xml_.writeStartElement(QStringLiteral("Curve"));
    xml_.writeAttribute(QStringLiteral("name"), utf8(name));
    xml_.writeAttribute(QStringLiteral("crvType"), QStringLiteral("arc"));
    xml_.writeAttribute(QStringLiteral("rot"), rotation(c.turn));
    xml_.writeAttribute(QStringLiteral("radius"), number(c.radius));
    xml_.writeAttribute(QStringLiteral("length"), number(c.arcLength));
    xml_.writeAttribute(QStringLiteral("staStart"), number(staStart_ + measure));
    elementPoints(hy(c), yh(c), c.centre);
    xml_.writeEndElement();
  }

private:
  static PlaneLine hy(const Curve& c) { return {c.hy, route::arcStartAzimuth(c)}; }
  static PlaneLine yh(const Curve& c) {
    return {c.yh, c.outgoingAzimuth - c.turn * c.second.spiralAngle};
  }

  void point(const char* name, PlanePoint p) {
    xml_.writeTextElement(QString::fromLatin1(name), pointText(p));
  }

  // Start, Center, End and PI (where the tangents at the ends meet).
  void elementPoints(const PlaneLine& start, const PlaneLine& end,
                     const std::optional<PlanePoint>& centre) {
    point("Start", start.at);
    if (centre)
      point("Center", *centre);
    point("End", end.at);
    if (const auto pi = meeting(start, end))
      point("PI", *pi);
  }

  QXmlStreamWriter& xml_;
  double staStart_;
};

void writeGeometry(QXmlStreamWriter& xml, const Route& route, double staStart) {
  Writer writer(xml, staStart);
  const route::RouteDefinition& definition = route.definition();
  PlanePoint from{definition.start.x, definition.start.y};
  double measure = 0;
  xml.writeStartElement(QStringLiteral("CoordGeom"));
  for (std::size_t i = 0; i < route.jdCount(); ++i) {
    const route::JdResult jd = route.jd(i);
    if (!jd.inRoute)
      continue;
    const Curve& c = jd.curve;
    writer.line(from, c.zh, measure);
    if (c.curved) {
      const std::string& name = definition.jds[i].name;
      writer.spiral(c, name, true, jd.mainPoints.zh);
      writer.arc(c, name, jd.mainPoints.hy);
      writer.spiral(c, name, false, jd.mainPoints.yh);
    }
    from = c.hz;
    measure = jd.mainPoints.hz;
  }
  writer.line(from, route.endPoint(), measure);
  xml.writeEndElement();
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
