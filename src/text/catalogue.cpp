// SPDX-License-Identifier: GPL-3.0-or-later
#include "text/catalogue.h"

#include <cstddef>
#include <iterator>

namespace quenlor {
namespace {

struct Sentence {
  Say say;
  std::string_view english, chinese;
};

// One row a kind, in the order of the kinds.
constexpr Sentence kSentences[] = {
    {Say::FileCannotRead, "cannot read {0}: {1}", "{1}（{0}）"},
    {Say::FileCannotWrite, "cannot write {0}: {1}", "{1}（{0}）"},
    {Say::FileCannotWriteAtAll, "cannot write {0}", "无法写入（{0}）"},
    {Say::FileNoSpace, "{0}", "磁盘空间不足"},
    {Say::FileNoPermissionToRead, "{0}", "没有读取权限"},
    {Say::FileNoPermissionToWrite, "{0}", "没有写入权限"},
    {Say::FileReadOnlySystem, "{0}", "文件系统只读"},
    {Say::FileMissing, "{0}", "文件或文件夹不存在"},
    {Say::FileNotAFolderOnThePath, "{0}", "路径中有一项不是文件夹"},
    {Say::FileSymbolicLinkLoop, "{0}", "符号链接循环"},
    {Say::FileNameTooLong, "{0}", "文件名太长"},
    {Say::FileTooBigForTheSystem, "{0}", "文件太大"},
    {Say::FileInputOutput, "{0}", "磁盘读写出错"},
    {Say::FileTooManyOpen, "{0}", "打开的文件太多"},
    {Say::FileSystemOther, "{0}", "系统错误：{0}"},
    {Say::FileFolder, "it is a folder, not a file", "这是文件夹，不是文件"},
    {Say::FileFifo, "it is a FIFO (named pipe), not a regular file",
     "这是命名管道（FIFO），不是普通文件"},
    {Say::FileCharacterDevice, "it is a character device, not a regular file",
     "这是字符设备，不是普通文件"},
    {Say::FileBlockDevice, "it is a block device, not a regular file", "这是块设备，不是普通文件"},
    {Say::FileSocket, "it is a socket, not a regular file", "这是套接字，不是普通文件"},
    {Say::FileNotRegular, "it is not a regular file", "这不是普通文件"},
    {Say::FileLargerThan, "it is larger than {0}", "文件大于 {0}"},
    {Say::ElementsWithoutGeometry, "the route has no geometry, so no elements (see 'route check')",
     "路线没有几何线形，没有线元可导出"},
    {Say::ElementsDirectionJumps,
     "the route's direction jumps at {0} (an angle point, or curves that overlap: see 'route "
     "check'): its elements cannot be chained from BP",
     "路线在 {0} 处方向不连续（无曲线的转折点或曲线重叠，见检查），不能写成线元表"},
    {Say::LandXmlAt, "line {0}, column {1}: {2}", "第 {0} 行第 {1} 列：{2}"},
    {Say::LandXmlNul, "the file is not well-formed XML: a NUL character at line {0}, column {1}",
     "文件不是完整的 XML：第 {0} 行第 {1} 列有 NUL 字符"},
    {Say::LandXmlNotWellFormed, "the file is not well-formed XML (line {0}, column {1}): {2}",
     "文件不是完整的 XML（第 {0} 行第 {1} 列）：{2}"},
    {Say::LandXmlNotLandXml, "this is not a LandXML file: its root element is <{0}>",
     "这不是 LandXML 文件：根元素是 <{0}>"},
    {Say::LandXmlTooLarge, "the file is larger than {0} MiB; it is not read",
     "文件大于 {0} MiB，不读入"},
    {Say::LandXmlNumberTooSmall, "{0} '{1}' is too small (nearer 0 than a double can hold)",
     "{0} '{1}' 太小（比双精度数能表示的更接近 0）"},
    {Say::LandXmlNumberBeyond, "{0} '{1}' is beyond \u00b11e9", "{0} '{1}' 超出 \u00b11e9"},
    {Say::LandXmlNotANumber, "{0} '{1}' is not a number", "{0} '{1}' 不是数"},
    {Say::LandXmlImperialWithoutUnit, "the Imperial units name no linearUnit",
     "英制单位（Imperial）没有给出 linearUnit"},
    {Say::LandXmlUnknownLengthUnit,
     "the unit of length '{0}' is not known: meter, millimeter, centimeter, kilometer, foot, "
     "USSurveyFoot or inch",
     "长度单位 '{0}' 不认识：只认 "
     "meter、millimeter、centimeter、kilometer、foot、USSurveyFoot、inch"},
    {Say::LandXmlGeometryUnsupported,
     "<{0}> in the alignment's geometry is not supported: only Line, Spiral and Curve",
     "线形几何中的 <{0}> 不支持：只支持 Line、Spiral 和 Curve"},
    {Say::LandXmlProfileUnsupported,
     "<{0}> in the profile is not supported: only PVI, ParaCurve, UnsymParaCurve and CircCurve",
     "纵断面中的 <{0}> 不支持：只支持 PVI、ParaCurve、UnsymParaCurve 和 CircCurve"},
    {Say::LandXmlTooManyElements,
     "the alignment has more than {0} geometry elements: the largest route read has {1} JDs",
     "线形超过 {0} 个几何元素：能读入的最大路线有 {1} 个交点"},
    {Say::LandXmlTooManyEquations,
     "the alignment has more than {0} station equations: the largest route read has {1} JDs",
     "线形超过 {0} 个断链：能读入的最大路线有 {1} 个交点"},
    {Say::LandXmlTooManyGradePoints,
     "the alignment has more than {0} grade points: the largest route read has {1} JDs",
     "线形超过 {0} 个变坡点：能读入的最大路线有 {1} 个交点"},
    {Say::LandXmlTooManyJds, "the alignment has more than {0} JDs, the largest route read",
     "线形超过 {0} 个交点，超出能读入的最大路线"},
    {Say::LandXmlPointByReference, "points given by reference (pntRef) are not supported",
     "不支持以引用（pntRef）给出的点"},
    {Say::LandXmlPointNeedsTwoNumbers, "<{0}> needs 'northing easting' as two numbers",
     "<{0}> 需要“北 东”两个数"},
    {Say::LandXmlGradePointNeedsTwoNumbers, "<{0}> needs 'station elevation' as two numbers",
     "<{0}> 需要“桩号 高程”两个数"},
    {Say::LandXmlSpiralRadiusNotRadius, "the spiral's {0} is not a radius",
     "缓和曲线的 {0} 不是半径"},
    {Say::LandXmlElementNeedsPositive, "the element needs a positive {0}", "元素缺少正的 {0}"},
    {Say::LandXmlElementHasNo, "the element has no <{0}>", "元素缺少 <{0}>"},
    {Say::LandXmlElementLengthNegative, "the element's length is negative", "元素的长度为负"},
    {Say::LandXmlNoGeometryElements, "the alignment has no geometry (no Line, Spiral or Curve)",
     "线形中没有几何元素（Line、Spiral 或 Curve）"},
    {Say::LandXmlNoGeometry, "the alignment has no geometry", "线形中没有几何元素"},
    {Say::LandXmlNoElementOfLength, "the alignment has no element of any length",
     "线形中没有长度大于 0 的元素"},
    {Say::LandXmlSpiralLeadsNowhere,
     "a clothoid from the straight that meets no arc and no clothoid back to a straight is not "
     "supported",
     "缓和曲线之后没有圆曲线，也没有回到直线的缓和曲线：不支持"},
    {Say::LandXmlSpiralWithoutTurn, "the spiral does not say which way it turns (rot)",
     "缓和曲线缺少转向（rot）"},
    {Say::LandXmlSpiralBetweenArcs,
     "a spiral between two arcs (R {0} to R {1}) is not supported: only straight - clothoid - arc "
     "- clothoid - straight runs",
     "两段圆曲线之间的缓和曲线（R {0} 至 R {1}）不支持：只支持 直线—缓和曲线—圆曲线—缓和曲线—直线"},
    {Say::LandXmlSpiralOutOfRun,
     "a spiral from R {0} to R {1} does not fit a straight - clothoid - arc - clothoid - straight "
     "run",
     "R {0} 至 R {1} 的缓和曲线不在 直线—缓和曲线—圆曲线—缓和曲线—直线 之中"},
    {Say::LandXmlCompoundCurve,
     "the radius {0} does not meet the radius {1} before it: a compound curve is not supported",
     "半径 {0} 与前面的半径 {1} 不一致：不支持复曲线"},
    {Say::LandXmlEquationIncomplete,
     "station equation {0} needs staAhead, and staBack or staInternal",
     "第 {0} 个断链（StaEquation）缺少 staAhead，或缺少 staBack 与 staInternal"},
    {Say::LandXmlParallelStraights, "the straights before and after curve {0} are parallel: no JD",
     "第 {0} 个曲线前后的直线平行：没有交点"},
    {Say::LandXmlNoCurve, "{0}: no curve can be made from the straights, R and Ls ({1})",
     "{0}：由直线、R 和 Ls 不能构成曲线"},
    {Say::LandXmlMainPointOff,
     "{0}: the {1} made from the straights, R and Ls lies {2} m from the file's: the elements are "
     "not one straight - clothoid - arc - clothoid - straight run",
     "{0}：由直线、R 和 Ls 算出的 {1} 与文件中的相差 {2} m，元素不构成 "
     "直线—缓和曲线—圆曲线—缓和曲线—直线"},
    {Say::LandXmlElementsDoNotJoin,
     "the element's {0} made from the lengths and radii before it lies {1} m from the file's: the "
     "elements do not join",
     "由前面各元素的长度和半径算出的该元素 {0} 与文件中的相差 {1} m，元素不相连"},
    {Say::LandXmlNoAlignment, "the file holds no alignment", "文件中没有线形（Alignment）"},
    {Say::LandXmlNoAlignmentNamed, "the file holds no alignment named '{0}': it holds {1}",
     "文件中没有名为 '{0}' 的线形，只有 {1}"},
    {Say::LandXmlNoRoute, "the alignment gives no route: {0}", "线形不能构成路线"},
    {Say::LandXmlReadJds, "{0} JDs, {1} grade points; alignment '{2}', {3} of {4}",
     "{0} 个交点，{1} 个变坡点；线形 '{2}'，共 {4} 条中的第 {3} 条"},
    {Say::LandXmlReadElements, "{0} elements, {1} grade points; alignment '{2}', {3} of {4}",
     "{0} 个线元，{1} 个变坡点；线形 '{2}'，共 {4} 条中的第 {3} 条"},
    {Say::LandXmlConvertedFrom, "; converted from {0}", "；已由{0}换算为米"},
    {Say::LandXmlIgnored, "ignored: {0}", "未读取：{0}"},
    {Say::LandXmlApart, "; ", "；"},
    {Say::LandXmlReadSuperelevation, "; superelevation of {0} curves into the station table",
     "；{0} 个曲线的超高已读入超高加宽表"},
    {Say::LandXmlSuperelevationSkipped, "the Superelevation at line {0} is skipped: {1}",
     "第 {0} 行的超高（Superelevation）未读取：{1}"},
    {Say::LandXmlSuperelevationNotANumber, "<{0}> '{1}' is not a number", "<{0}> '{1}' 不是数"},
    {Say::LandXmlSuperelevationNoRate, "it has no FullSuperelev from 0 to {0} %",
     "没有 0 至 {0} % 的全超高（FullSuperelev）"},
    {Say::LandXmlSuperelevationNoFullSection, "it has no FullSuperSta and RunoffSta",
     "缺少全超高起止桩号（FullSuperSta、RunoffSta）"},
    {Say::LandXmlSuperelevationOutOfOrder,
     "its stations do not follow one another (BeginRunoutSta, BeginRunoffSta, FullSuperSta, "
     "RunoffSta, StartofRunoutSta, EndofRunoutSta)",
     "各桩号不是依次递增（BeginRunoutSta、BeginRunoffSta、FullSuperSta、RunoffSta、"
     "StartofRunoutSta、EndofRunoutSta）"},
    {Say::LandXmlSuperelevationNoCurve, "its full superelevation lies on no curve of the route",
     "全超高段不在路线的曲线上"},
    {Say::LandXmlSuperelevationOverlaps, "it begins before the one before it ends",
     "与前一个超高重叠"},
    {Say::LandXmlSuperelevationAdverse, "adverse superelevation (AdverseSE) is not supported",
     "不支持反超高（AdverseSE）"},
    {Say::LandXmlTooManySuperelevations,
     "the Superelevations from line {0} on are skipped: more than {1}",
     "第 {0} 行起的超高（Superelevation）未读取：超过 {1} 个"},
    {Say::UnitMetres, "metres", "米"},
    {Say::UnitMillimetres, "millimetres", "毫米"},
    {Say::UnitCentimetres, "centimetres", "厘米"},
    {Say::UnitKilometres, "kilometres", "千米"},
    {Say::UnitInternationalFeet, "international feet", "国际英尺"},
    {Say::UnitUsSurveyFeet, "US survey feet", "美国测量英尺"},
    {Say::UnitInches, "inches", "英寸"},
    {Say::NoticeDeflectionDisagrees,
     "the deflection in Text6 differs by more than a second from the one the coordinates give",
     "偏角与坐标算得的交点偏角相差一秒以上"},
    {Say::NoticeTransitionsTooLong,
     "the transitions are too long for the deflection: the main points are out of order",
     "缓和曲线对偏角过长，主点桩号次序颠倒"},
    {Say::NoticeRadiusNotPositive, "the radius is zero or negative", "半径为零或负"},
    {Say::NoticeTransitionsDiffer,
     "the transitions differ: the point at Text26's chainage takes the curve as symmetric",
     "两缓和曲线不等：计算桩号一栏按对称曲线计算，平面图与放样工具按真实曲线"},
    {Say::NoticeFilledForChainage,
     "filled the boxes from {0}, whose stretch holds Text26's chainage",
     "已按计算桩号将路线的 {0} 填入输入框"},
    {Say::NoticeBreakInCurve,
     "the chain break {1} lies inside {0}'s curve: the main-point chainages in the boxes do not "
     "count it; stake out from the route",
     "{0} 曲线内有断链 {1}：输入框的主点桩号未计入断链，放样以路线为准"},
    {Say::NoticeFormulasDiffer,
     "the boxes' simplified formulas put {1} {2} from the route's; stake out from the route",
     "输入框按简化公式：{1} 与路线相差 {2}，放样以路线为准"},
    {Say::NoticeCurveNotInRoute,
     "{0} has no curve in the route (see 'route check'): the curve in the boxes is not the route's",
     "{0} 在路线中没有曲线（见检查）：输入框的曲线不是路线的"},
    {Say::NoticePointDiffers,
     "the boxes' point at Text26's chainage lies {2} from the route's; stake out from the route",
     "计算桩号的点与路线相差 {2}，放样以路线为准"},
    {Say::NoticeOwnCurve,
     "the boxes hold a curve of their own: the point at Text26's chainage is not the route's",
     "输入框为自填的曲线：计算桩号的点不是路线上的点"},
    {Say::NoticeNoCurveForChainage,
     "no JD of the route takes in {1} to fill the boxes from: the point at Text26's chainage is "
     "not the route's",
     "路线上没有可填入输入框的交点含 {1}：计算桩号的点不是路线上的点"},
    {Say::PasteEndBySpacing,
     "{0} has no X and Y: placed by the spacing the table gives, {1} m from {2} along the "
     "straight its deflection gives",
     "{0} 无坐标：按表中交点间距定在 {2} 转角所定方向上、距 {2} {1} m 处"},
    {Say::PasteEndByStraight,
     "{0} has no X and Y: placed by the straight of {3} m the table gives after {2}'s curve, "
     "{1} m from {2} along the straight its deflection gives",
     "{0} 无坐标：按表中 {2} 曲线终点后直线长 {3} m，定在 {2} 转角所定方向上、距 {2} {1} m 处"},
    {Say::PasteEndByChainage,
     "{0} has no X and Y: placed by its chainage {3}, {1} m from {2} along the straight its "
     "deflection gives",
     "{0} 无坐标：按其桩号 {3} 定在 {2} 转角所定方向上、距 {2} {1} m 处"},
    {Say::PasteEndBeyondCurve,
     "the table gives no X and Y, chainage or distance of {0}: placed {4} m beyond the end of "
     "{2}'s curve, {1} m from {2} along the straight its deflection gives; type its distance in "
     "the "
     "route table",
     "表中没有 {0} 的坐标、桩号或距离：暂定在 {2} 曲线终点后 {4} m（{2} 转角所定方向上、距 {2} {1} "
     "m），请在路线表中输入其交点间距"},
    {Say::PasteEndChainageBehindCurve,
     "{0}'s chainage {3} lies before the end of {2}'s curve: placed {4} m beyond that end instead, "
     "{1} m from {2}; check the table",
     "{0} 的桩号 {3} 在 {2} 曲线终点之前：改定在曲线终点后 {4} m（距 {2} {1} m），请核对设计表"},
    {Say::PasteEndDistanceBehindCurve,
     "the distance the table gives to {0} ends before the end of {2}'s curve: placed {4} m beyond "
     "that end instead, {1} m from {2}; check the table",
     "表中到 {0} 的距离短于 {2} 的切线长：改定在曲线终点后 {4} m（距 {2} {1} m），请核对设计表"},
    {Say::PasteEndNotPlaced,
     "{0} has no X and Y, and the last JD {1} has no deflection in the table (or is left out of "
     "the "
     "route): nothing places {0}; nothing was pasted",
     "{0} 无坐标，且最后一个交点 {1} 在表中没有转角（或未参与路线计算）：无法确定 {0}，未粘贴"},
};

constexpr bool inOrder() {
  for (std::size_t i = 0; i < std::size(kSentences); ++i)
    if (static_cast<std::size_t>(kSentences[i].say) != i)
      return false;
  return true;
}
static_assert(inOrder(), "one sentence a kind, in the order of the kinds");

const Sentence& sentence(Say say) { return kSentences[static_cast<std::size_t>(say)]; }

// The pattern with "{N}" replaced by the Nth blank.
std::string filled(std::string_view pattern, std::initializer_list<std::string_view> blanks) {
  std::string text;
  text.reserve(pattern.size());
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const bool blank = pattern[i] == '{' && i + 2 < pattern.size() && pattern[i + 2] == '}' &&
                       pattern[i + 1] >= '0' && pattern[i + 1] <= '9';
    if (!blank) {
      text += pattern[i];
      continue;
    }
    const auto n = static_cast<std::size_t>(pattern[i + 1] - '0');
    if (n < blanks.size())
      text += *(blanks.begin() + n);
    i += 2;
  }
  return text;
}

} // namespace

std::string english(Say say, std::initializer_list<std::string_view> blanks) {
  return filled(sentence(say).english, blanks);
}

std::string chinese(Say say, std::initializer_list<std::string_view> blanks) {
  return filled(sentence(say).chinese, blanks);
}

Failure failure(Say say, std::initializer_list<std::string_view> blanks) {
  return {english(say, blanks), chinese(say, blanks)};
}

Failure failure(Say frame, std::string_view subject, Say say,
                std::initializer_list<std::string_view> blanks) {
  return {english(frame, {subject, english(say, blanks)}),
          chinese(frame, {subject, chinese(say, blanks)})};
}

} // namespace quenlor
