// SPDX-License-Identifier: GPL-3.0-or-later
// LandXML import at the largest sizes the reader takes: the program's own
// export of its largest route (kMostLandXmlJds JDs, as many grade points,
// 100 chain breaks), and files of a million tiny elements (Lines, which it
// refuses at its element count, and Features, which it reads through and
// skips); and a route by elements of 10,000 straights, arcs and clothoids
// of any curvature (its own export). Each file is imported in a child
// process of its own, so that its peak resident memory is the import's
// alone; time is the import's wall clock and processor time. Targets:
// memory at most three times the file (the large files: a small one's
// peak is the process's own, some 7 MiB), time at most 5 s; the 10,000
// elements within 0.2 s. It reports; it never fails on timing.
//
//   quenlor_landxml_bench               writes the files, imports each, prints
//   quenlor_landxml_bench --import FILE imports one (the child's part)
#include "bench/child_figures.h"
#include "exchange/landxml.h"
#include "route/route.h"
#include "session/route_model.h"
#include "support/random_route.h"

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

using namespace quenlor;
namespace fs = std::filesystem;

constexpr int kBreaks = 100;
constexpr std::size_t kTinyElements = 1'000'000;
constexpr int kRouteElements = 10'000;

// The largest route: random curves, chain breaks spread along it, a grade
// point at every JD's chainage with a curve on each that keeps clear of its
// neighbours.
route::RouteDefinition largestRoute() {
  route::RouteDefinition d = test::randomRoute(int(exchange::kMostLandXmlJds), 7);
  const route::Route plain(d);
  const double length = plain.length(), start = d.start.chainage;
  for (int j = 1; j <= kBreaks; ++j)
    d.breaks.push_back({"DL" + std::to_string(j), start + j * length / (kBreaks + 1),
                        start + j * length / (kBreaks + 1) + (j % 2 ? -5.5 : 7.25)});
  test::RandomRoute draw(11);
  const std::size_t points = exchange::kMostLandXmlGradePoints;
  const double spacing = length / double(points + 1);
  double elevation = 500;
  for (std::size_t i = 0; i < points; ++i) {
    elevation += spacing * draw.uniform(-0.03, 0.03);
    const route::Station at = plain.stationAt(spacing * double(i));
    d.gradePoints.push_back({"SJD" + std::to_string(i + 1), at.chainage, elevation,
                             std::round(10 * spacing)}); // T at most 0.3 of a spacing
  }
  return d;
}

// A file of `count` copies of an element inside one alignment's geometry.
void writeTiny(const fs::path& path, const char* element) {
  std::ofstream out(path, std::ios::binary);
  out << "<?xml version=\"1.0\"?>\n<LandXML xmlns=\"http://www.landxml.org/schema/LandXML-1.2\" "
         "date=\"2024-05-01\" time=\"00:00:00\" version=\"1.2\">\n<Alignments><Alignment "
         "name=\"A\" length=\"1\" staStart=\"0\"><CoordGeom>\n";
  for (std::size_t i = 0; i < kTinyElements; ++i)
    out << element << '\n';
  out << "</CoordGeom></Alignment></Alignments></LandXML>\n";
}

double seconds(const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; }

double processorSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The child's part: import, then print the import's wall and processor
// seconds (the process's start left out: on a busy machine the processor
// time is the figure that holds) and the peak resident memory in KiB.
int importOne(const char* path) {
  const double startCpu = processorSeconds();
  const auto start = std::chrono::steady_clock::now();
  exchange::LandXmlImport read = exchange::openLandXml(path);
  std::size_t jds = 0;
  if (read.route) {
    jds = read.route->method == route::Method::Elements ? read.route->elements.size()
                                                        : read.route->jds.size();
    const RouteModel model(std::move(*read.route)); // what the driver and the window then hold
    if (!model.route().hasGeometry())
      return 1;
  }
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const double cpu = processorSeconds() - startCpu;
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("%.3f %.3f %ld %zu %s\n", wall, cpu, usage.ru_maxrss, jds,
              read.route ? "read" : read.message.c_str());
  return 0;
}

void measure(const char* self, const char* what, const fs::path& path) {
  const std::string command = std::string(self) + " --import " + path.string();
  const std::string line = bench::childFigures(command);
  double wall = 0, cpu = 0;
  long peakKiB = 0;
  std::size_t jds = 0;
  char outcome[400] = {};
  if (std::sscanf(line.c_str(), "%lf %lf %ld %zu %399[^\n]", &wall, &cpu, &peakKiB, &jds, outcome) <
      4) {
    std::printf("| %-34s | failed: %s\n", what, line.c_str());
    return;
  }
  const double mib = double(fs::file_size(path)) / (1 << 20), peak = double(peakKiB) / 1024;
  std::printf("| %-34s | %8.1f | %8.3f | %8.3f | %8.1f | %5.2f | %-8s |\n", what, mib, wall, cpu,
              peak, peak / mib, outcome);
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--import")
    return importOne(argv[2]);
  const fs::path folder =
      fs::temp_directory_path() / ("quenlor-landxml-bench-" + std::to_string(::getpid()));
  fs::create_directories(folder);
  {
    const RouteModel model(largestRoute());
    const auto text = exchange::landXmlText(model, {"2024-05-01", "00:00:00"});
    if (!text) {
      std::fprintf(stderr, "the largest route does not export: %s\n", text.error().c_str());
      return 1;
    }
    std::ofstream(folder / "largest.xml", std::ios::binary) << *text;
  }
  {
    const RouteModel model(test::randomElementRoute(kRouteElements, 3));
    const auto text = exchange::landXmlText(model, {"2024-05-01", "00:00:00"});
    if (!text) {
      std::fprintf(stderr, "the route by elements does not export: %s\n", text.error().c_str());
      return 1;
    }
    std::ofstream(folder / "elements.xml", std::ios::binary) << *text;
  }
  writeTiny(folder / "lines.xml",
            "<Line><Start>1000.001 2000</Start><End>1000.002 2000.001</End></Line>");
  writeTiny(folder / "features.xml",
            "<Feature code=\"f\"><Property label=\"a\" value=\"1234567\"/></Feature>");

  std::printf("| %-34s | %8s | %8s | %8s | %8s | %5s | %-8s |\n", "LandXML import", "MiB", "wall s",
              "cpu s", "peak MiB", "ratio", "outcome");
  std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", "------------------------------------", "----------",
              "----------", "----------", "----------", "-------", "----------");
  measure(argv[0], "own export, largest route", folder / "largest.xml");
  measure(argv[0], "own export, 10,000 elements", folder / "elements.xml");
  measure(argv[0], "a million tiny Lines", folder / "lines.xml");
  measure(argv[0], "a million Features", folder / "features.xml");
  std::printf("targets: ratio <= 3, wall <= 5 s (10,000 elements: 0.2 s); files of at most %zu "
              "MiB are read\n",
              exchange::kMostLandXmlBytes >> 20);
  fs::remove_all(folder);
  return 0;
}
