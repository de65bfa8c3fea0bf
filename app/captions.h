// SPDX-License-Identifier: GPL-3.0-or-later
// The window's captions: the names on its buttons, tabs, boxes and dialogs,
// its file filters and the names of the files it keeps. Names, not
// sentences: what the window says about a problem is worded in the catalogue
// (src/text/catalogue.cpp) and reaches it through said().
#pragma once

#include <QString>

namespace quenlor::captions {
// Dialogs and file filters.
inline constexpr const char* kExportPointsTitle = "导出全站仪坐标";
inline constexpr const char* kPointsNorthFirst = "全站仪坐标 点名,X,Y,Z (*.csv)";
inline constexpr const char* kPointsEastFirst = "全站仪坐标 点名,Y,X,Z (*.csv)";
inline constexpr const char* kExportLandXmlTitle = "导出 LandXML";
inline constexpr const char* kExportElementsTitle = "导出线元表";
inline constexpr const char* kElementsFilter = "线元表 (*.csv)";
inline constexpr const char* kImportLandXmlTitle = "导入 LandXML";
inline constexpr const char* kExportDxfTitle = "导出 DXF";
inline constexpr const char* kExportStakeCsvTitle = "导出放样表 CSV";
inline constexpr const char* kExportStakeXlsxTitle = "导出放样表 XLSX";
inline constexpr const char* kPrintSheetTitle = "打印放样表";
inline constexpr const char* kSheetTitle = "放样表";
inline constexpr const char* kExportJdXlsxTitle = "导出直线、曲线及转角表 XLSX";
inline constexpr const char* kExportJdPdfTitle = "导出直线、曲线及转角表 PDF";
inline constexpr const char* kExportCoordinateXlsxTitle = "导出逐桩坐标表 XLSX";
inline constexpr const char* kExportCoordinatePdfTitle = "导出逐桩坐标表 PDF";
inline constexpr const char* kExportJdXlsx = "导出直曲表XLSX…";
inline constexpr const char* kExportJdPdf = "导出直曲表PDF…";
inline constexpr const char* kExportCoordinateXlsx = "导出逐桩坐标XLSX…";
inline constexpr const char* kExportCoordinatePdf = "导出逐桩坐标PDF…";

// The history's names for a step.
inline constexpr const char* kEditRoute = "修改路线";
inline constexpr const char* kImport = "导入";

// The files kept in the data folder: {stamp}.
inline constexpr const char* kNotRestoredFile = "/未能恢复-%1.csv";
inline constexpr const char* kUnsavedFile = "/未保存-%1.csv";

// The field tools.
inline constexpr const char* kSideSample = "右右";
inline constexpr const char* kCutFillSample = "挖 888.888";
inline constexpr const char* kSideStakes = "边桩";
inline constexpr const char* kChainage = "桩号";
inline constexpr const char* kOffset = "偏距";
inline constexpr const char* kSetOutAzimuth = "放线方位角";
inline constexpr const char* kSetOutDistance = "放线距离";
inline constexpr const char* kGroundElevation = "地面高程";
inline constexpr const char* kDesignElevation = "设计高程";
inline constexpr const char* kLocate = "反算桩号";
inline constexpr const char* kStakeTable = "放样表";
inline constexpr const char* kTableStart = "起点";
inline constexpr const char* kTableEnd = "终点";
inline constexpr const char* kTableInterval = "间距";
inline constexpr const char* kTableOffset = "边距";
inline constexpr const char* kFallLeft = "左横坡%";
inline constexpr const char* kFallRight = "右横坡%";
inline constexpr const char* kFallUnused = "路线有路幅时不用";
inline constexpr const char* kWholeStations = "整桩号";
inline constexpr const char* kFullPrecision = "全精度";
inline constexpr const char* kCopy = "复制";
inline constexpr const char* kExportCsv = "导出CSV";
inline constexpr const char* kExportXlsx = "导出XLSX";
inline constexpr const char* kExportPoints = "导出点文件";
inline constexpr const char* kPrint = "打印…";

// The window's tabs and its fold, the profile's scale.
inline constexpr const char* kPlanTab = "平面图";
inline constexpr const char* kProfileTab = "纵断面";
inline constexpr const char* kSectionTab = "横断面";
inline constexpr const char* kRouteTab = "路线";
inline constexpr const char* kFold = "收起输入框";
inline constexpr const char* kUnfold = "展开输入框";
inline constexpr const char* kVerticalPrefix = "竖向 ×";
inline constexpr const char* kVerticalAuto = "竖向 自动";
inline constexpr const char* kDesignAt = " 设计 ";
inline constexpr const char* kCheckColumn = "检查";

// The route panel: its tabs, buttons and dialogs.
inline constexpr const char* kRouteFileFilter = "路线文件 (*.csv);;所有文件 (*)";
inline constexpr const char* kSave = "保存";
inline constexpr const char* kDiscard = "不保存";
inline constexpr const char* kCancel = "取消";
inline constexpr const char* kJdTab = "交点";
inline constexpr const char* kElementTab = "线元";
inline constexpr const char* kBreakTab = "断链";
inline constexpr const char* kGradeTab = "变坡点";
inline constexpr const char* kStationTab = "测站";
inline constexpr const char* kTemplateTab = "路幅";
inline constexpr const char* kCurveSectionTab = "超高加宽";
inline constexpr const char* kWideningTab = "超高加宽表";
inline constexpr const char* kOpen = "打开…";
inline constexpr const char* kSaveAs = "另存为…";
inline constexpr const char* kCloseRoute = "关闭路线";
inline constexpr const char* kUndo = "撤销";
inline constexpr const char* kRedo = "重做";
inline constexpr const char* kImportLandXml = "导入LandXML…";
inline constexpr const char* kExportLandXml = "导出LandXML…";
inline constexpr const char* kExportDxf = "导出DXF…";
inline constexpr const char* kExportElements = "导出线元表…";
inline constexpr const char* kRouteName = "路线名";
inline constexpr const char* kRouteNameHint = "放样表表头所印的路线名";
inline constexpr const char* kAdd = "添加";
inline constexpr const char* kInsert = "插入";
inline constexpr const char* kDelete = "删除";
inline constexpr const char* kMoveUp = "上移";
inline constexpr const char* kMoveDown = "下移";
inline constexpr const char* kPaste = "粘贴";
inline constexpr const char* kFillWindow = "填入窗口";
inline constexpr const char* kWriteBack = "写回交点";
inline constexpr const char* kStartByElements = "改用线元法";
inline constexpr const char* kStartByJds = "改用交点法";
inline constexpr const char* kUseStation = "用此测站";
inline constexpr const char* kAddLeftPart = "添加左侧";
inline constexpr const char* kAddRightPart = "添加右侧";
inline constexpr const char* kOpenRouteTitle = "打开路线";
inline constexpr const char* kSaveRouteAsTitle = "路线另存为";
inline constexpr const char* kUnnamedRoute = "未命名路线";

} // namespace quenlor::captions

namespace quenlor {

inline QString caption(const char* text) { return QString::fromUtf8(text); }

} // namespace quenlor
