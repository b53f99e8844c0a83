// Benchmark of the result table under the result lists, natively: adding a
// million records in batches of a thousand, sorting and re-filtering them,
// and the heap spent per record beyond its strings. Prints figures; the
// targets are checked by reading them (no timing in the tests).
#include <malloc.h>

#include <algorithm>
#include <cstdio>

#include "bench/ui_bench_records.h"
#include "ui/logic/result_table.h"

using namespace ui_bench;

int main() {
  const std::size_t heap_before = mallinfo2().uordblks;
  ui::CResultTable table(ui::ListKind::kFound, nullptr);
  double worst = 0, total = 0;
  for (int b = 0; b < kRecords / kBatch; ++b) {
    FileResultBatch batch;
    for (int i = 0; i < kBatch; ++i) batch.push_back(MakeRecord(b * kBatch + i));
    const Timer t;
    for (auto& r : batch) (void)table.Add(std::move(r));
    const double ms = t.Ms();
    worst = std::max(worst, ms);
    total += ms;
  }
  const std::size_t heap_after = mallinfo2().uordblks;
  std::printf("add: %d batches of %d, mean %.3f ms, worst %.3f ms per batch\n", kRecords / kBatch,
              kBatch, total / (kRecords / kBatch), worst);
  std::printf("memory: %.1f bytes per record (sizeof FileResult %zu), strings inline\n",
              static_cast<double>(heap_after - heap_before) / kRecords, sizeof(FileResult));
  for (int kind : {ui::kColumnName, ui::kColumnSize, ui::kColumnModified, ui::kColumnType}) {
    const Timer t;
    table.ClickColumn(kind);
    std::printf("sort by column %d: %.1f ms (%zu rows)\n", kind, t.Ms(), table.RowCount());
  }
  struct {
    const char* name;
    ui::FilterMap filters;
  } filters[] = {{"name substring", {{ui::kColumnName, u"fa"}}},
                 {"name wildcard", {{ui::kColumnName, u"*.txt"}}},
                 {"size text", {{ui::kColumnSize, u"Mb"}}},
                 {"none", {}}};
  for (auto& f : filters) {
    const Timer t;
    (void)table.SetFilters(f.filters);
    std::printf("filter %s: %.1f ms (%zu rows shown)\n", f.name, t.Ms(), table.RowCount());
  }
  return 0;
}
