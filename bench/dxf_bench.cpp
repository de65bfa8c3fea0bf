// SPDX-License-Identifier: GPL-3.0-or-later
// The DXF of a stake table at 10,000 and 100,000 rows, beside the CSV stake
// sheet of the same table: the centre stakes alone, and with side stakes
// 7.5 m either side (three labelled points a row), on a route of 20 JDs.
// Each export runs in a child process of its own: its time (wall clock and
// processor), the bytes a stake row adds to the file (over the DXF of the
// route alone), those of its line in the CSV, and the memory the export adds to what
// the process held before it (the route and the table): the peak resident
// memory during the export, reset before it (/proc/self/clear_refs), less
// the resident memory at its start. Targets: the DXF at most three times the
// CSV a row, the memory it adds the same at 10,000 and 100,000 rows. It
// reports; it never fails on timing.
//
//   quenlor_dxf_bench                        runs every case, prints the table
//   quenlor_dxf_bench --export ROWS OFFSET FOLDER    one case (the child's part)
#include "bench/child_figures.h"
#include "exchange/dxf.h"
#include "exchange/stake_sheet.h"
#include "form/form.h"
#include "session/field_tools.h"
#include "session/route_model.h"
#include "support/random_route.h"

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

using namespace quenlor;
namespace fs = std::filesystem;

constexpr int kJds = 20;

double processorSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

// A field of /proc/self/status in KiB (VmRSS, VmHWM).
long statusKiB(const char* field) {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind(field, 0) == 0)
      return std::stol(line.substr(std::string(field).size() + 1));
  return -1;
}

// The child's part: the route, its table of about `rows` rows, the CSV,
// then the DXF measured; prints "wall cpu dxfBytes csvBytes rows addedKiB
// peakKiB".
int exportOne(long rows, double offset, const fs::path& folder) {
  const auto model = std::make_shared<const RouteModel>(test::randomRoute(kJds, 3));
  const double start = model->definition().start.chainage, length = model->route().length();
  FieldQueries q;
  q.table = TableQuery{{start, 0}, {start + length, 0}, length / double(rows), offset};
  const Form form;
  const TableAnswer table = answerFieldTools(form, model, q).table;
  const std::string csv = (folder / "sheet.csv").string(), dxf = (folder / "plan.dxf").string();
  if (!exchange::saveRouteDxf(dxf, *model, nullptr))
    return 1;
  const std::uintmax_t routeAlone = fs::file_size(dxf);
  const exchange::SheetHeader header =
      exchange::sheetHeaderOf(form, model.get(), Precision::Field, "2024-05-01");
  if (!exchange::saveStakeCsv(csv, table, header))
    return 1;

  malloc_trim(0);
  std::ofstream("/proc/self/clear_refs") << "5"; // the peak from here on
  const long before = statusKiB("VmRSS:");
  const auto wall = std::chrono::steady_clock::now();
  const double cpu = processorSeconds();
  if (!exchange::saveRouteDxf(dxf, *model, &table))
    return 1;
  const double cpuUsed = processorSeconds() - cpu;
  const double wallUsed =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall).count();
  const long peak = statusKiB("VmHWM:");
  std::printf("%.4f %.4f %ju %ju %zu %ld %ld\n", wallUsed, cpuUsed,
              std::uintmax_t(fs::file_size(dxf) - routeAlone), std::uintmax_t(fs::file_size(csv)),
              table.size(), peak - before, peak);
  return 0;
}

void measure(const char* self, const char* what, long rows, double offset, const fs::path& folder) {
  const std::string command = std::string(self) + " --export " + std::to_string(rows) + " " +
                              std::to_string(offset) + " " + folder.string();
  const std::string line = bench::childFigures(command);
  double wall = 0, cpu = 0;
  std::uintmax_t dxfBytes = 0, csvBytes = 0;
  std::size_t made = 0;
  long added = 0, peak = 0;
  if (std::sscanf(line.c_str(), "%lf %lf %ju %ju %zu %ld %ld", &wall, &cpu, &dxfBytes, &csvBytes,
                  &made, &added, &peak) != 7) {
    std::printf("| %-30s | failed: %s\n", what, line.c_str());
    return;
  }
  const double perRow = double(dxfBytes) / double(made),
               csvPerRow = double(csvBytes) / double(made);
  std::printf("| %-30s | %7zu | %7.3f | %7.3f | %6.2f | %7.1f | %7.1f | %5.2f | %7.2f | %7.1f |\n",
              what, made, wall, cpu, 1e6 * cpu / double(made), perRow, csvPerRow,
              perRow / csvPerRow, double(added) / 1024, double(peak) / 1024);
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--export")
    return exportOne(std::stol(argv[2]), std::stod(argv[3]), argv[4]);
  const fs::path folder =
      fs::temp_directory_path() / ("quenlor-dxf-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  std::printf("| %-30s | %7s | %7s | %7s | %6s | %7s | %7s | %5s | %7s | %7s |\n",
              "DXF of a stake table", "rows", "wall s", "cpu s", "us/row", "B/row", "CSV B/r",
              "ratio", "+MiB", "peak MiB");
  std::printf("|%s|%s|%s|%s|%s|%s|%s|%s|%s|%s|\n", std::string(32, '-').c_str(),
              std::string(9, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str(),
              std::string(8, '-').c_str(), std::string(9, '-').c_str(), std::string(9, '-').c_str(),
              std::string(7, '-').c_str(), std::string(9, '-').c_str(),
              std::string(9, '-').c_str());
  for (const long rows : {10000L, 100000L}) {
    measure(argv[0], "centre stakes", rows, 0, folder);
    measure(argv[0], "  and side stakes at 7.5 m", rows, 7.5, folder);
  }
  std::printf("targets: ratio <= 3; +MiB (what the export adds) the same at 10,000 and "
              "100,000 rows\n");
  fs::remove_all(folder);
  return 0;
}
