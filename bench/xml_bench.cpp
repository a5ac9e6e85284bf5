// Indexing and walking server lists the way the catalogue reads them (one
// item per server, eleven fields read in order), side by side with pugixml,
// RapidXML and expat doing the same work in the same run. Prints the ratios.
#include <benchmark/benchmark.h>
#include <expat.h>
#include <rapidxml/rapidxml.hpp>

#include <pugixml.hpp>

#include <malloc.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <new>
#include <string>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "xml/code_page.h"
#include "xml/xml_reader.h"
#include "xml/xml_scan.h"

// Live and peak bytes from operator new, counted only while a heap
// measurement runs (outside the timed loops).
namespace heap {
std::atomic<bool> counting{false};
std::atomic<std::size_t> live{0};
std::atomic<std::size_t> peak{0};
}  // namespace heap

void* operator new(std::size_t n) {
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  if (heap::counting.load(std::memory_order_relaxed)) {
    std::size_t now = heap::live += malloc_usable_size(p);
    if (now > heap::peak) heap::peak = now;
  }
  return p;
}
void operator delete(void* p) noexcept {
  if (p && heap::counting.load(std::memory_order_relaxed)) heap::live -= malloc_usable_size(p);
  std::free(p);
}
void operator delete(void* p, std::size_t) noexcept { operator delete(p); }

namespace {

const char* const kFields[] = {"area", "description", "nasname", "jxuer", "nasfrom", "pptp",
                               "l2tp", "openvpn", "level", "online", "date"};
const char16_t* const kFields16[] = {u"area", u"description", u"nasname", u"jxuer", u"nasfrom", u"pptp",
                                     u"l2tp", u"openvpn", u"level", u"online", u"date"};

std::u16string Utf8To16(const std::string& s) {
  std::u16string out;
  AppendConverted(SystemCodePageConverter(), kCodePageUtf8, s.data(), s.size(), out);
  return out;
}

std::string ServerList(int items, const char* encodingName) {
  static const char* const kAreas[] = {"美国", "日本", "香港", "台湾", "韩国", "新加坡"};
  std::string s = std::string("<?xml version=\"1.0\" encoding=\"") + encodingName + "\"?>\r\n<root>\r\n";
  char buf[640];
  for (int i = 0; i < items; ++i) {
    snprintf(buf, sizeof buf,
             "<item><area>%s</area><description>%s %d 线路 &amp; 电信</description>"
             "<nasname>s%d.vpn.example.net</nasname><jxuer>vu%05d</jxuer><nasfrom>%d</nasfrom>"
             "<pptp>1</pptp><l2tp>1</l2tp><openvpn>%d</openvpn><level>%d</level><online>%d</online>"
             "<date>2013-05-%02d</date></item>\r\n",
             kAreas[i % 6], kAreas[(i + 1) % 6], i, i, i, i % 2, i % 3 == 0, i % 3, (i * 7) % 100, i % 28 + 1);
    s += buf;
  }
  s += "</root>\r\n";
  return s;
}

struct Docs {
  std::string utf8;
  std::u16string utf16;
  std::string fileUtf8, fileUtf16, fileGbk;
};

std::string Temp(const std::string& name) { return "/tmp/lumetra_xml_bench_" + name; }

const Docs& DocsFor(int items) {
  static std::map<int, Docs> cache;
  auto it = cache.find(items);
  if (it != cache.end()) return it->second;
  Docs d;
  d.utf8 = ServerList(items, "UTF-8");
  d.utf16 = Utf8To16(ServerList(items, "UTF-16"));
  std::string n = std::to_string(items);
  d.fileUtf8 = Temp("utf8_" + n + ".xml");
  d.fileUtf16 = Temp("utf16_" + n + ".xml");
  d.fileGbk = Temp("gbk_" + n + ".xml");
  std::ofstream(d.fileUtf8, std::ios::binary) << d.utf8;
  {
    std::ofstream f(d.fileUtf16, std::ios::binary);
    f.write("\xFF\xFE", 2);
    f.write(reinterpret_cast<const char*>(d.utf16.data()), static_cast<std::streamsize>(d.utf16.size() * 2));
  }
  {
    // GBK bytes through iconv's sibling: the reader's own converter cannot write,
    // so the conversion runs the other way with the system tool.
    std::string gbkDecl = ServerList(items, "GBK");
    std::string src = Temp("gbk_src_" + n + ".xml");
    std::ofstream(src, std::ios::binary) << gbkDecl;
    std::string cmd = "iconv -f UTF-8 -t GBK " + src + " > " + d.fileGbk;
    if (std::system(cmd.c_str()) != 0) std::fprintf(stderr, "iconv failed\n");
    std::remove(src.c_str());
  }
  return cache.emplace(items, std::move(d)).first->second;
}

std::u16string Path16(const std::string& s) { return std::u16string(s.begin(), s.end()); }

// --- ours ---------------------------------------------------------------

std::size_t WalkOurs(CXmlReader& r) {
  std::size_t total = 0;
  while (r.FindChild(u"item")) {
    r.EnterChild();
    for (const char16_t* f : kFields16) {
      r.FindChild(f);
      std::u16string v = r.GetChildText();
      total += v.size();
    }
    r.LeaveElement();
  }
  return total;
}

// Fresh copies of a text for in-place readers, made outside the timed loop in
// batches: rare pauses, and a batch is large enough that the copies have left
// the cache by the time they are used, as a text received earlier would have.
template <typename S>
class CopyBatches {
 public:
  CopyBatches(benchmark::State& state, const S& text) : state_(state), text_(text) {
    std::size_t bytes = text.size() * sizeof(text[0]) + 1;
    batch_ = std::max<std::size_t>(1, (64u << 20) / bytes);
    Refill();
  }
  // The next copy; refills (with the timer paused) when the batch is used up.
  S& Next() {
    if (next_ == copies_.size()) {
      state_.PauseTiming();
      Refill();
      state_.ResumeTiming();
    }
    return copies_[next_++];
  }

 private:
  void Refill() {
    copies_.clear();
    copies_.resize(batch_, text_);
    next_ = 0;
  }
  benchmark::State& state_;
  const S& text_;
  std::size_t batch_;
  std::vector<S> copies_;
  std::size_t next_ = 0;
};

// Heap that indexing and walking take beyond the document text, per byte of text.
double HeapPerTextByte(const std::u16string& utf16) {
  std::u16string copy = utf16;
  heap::live = 0;
  heap::peak = 0;
  heap::counting = true;
  {
    CXmlReader r;
    r.SetText(std::move(copy));
    benchmark::DoNotOptimize(WalkOurs(r));
  }
  heap::counting = false;
  return static_cast<double>(heap::peak.load()) / static_cast<double>(utf16.size() * 2);
}

void OursUtf16Text(benchmark::State& state) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  CopyBatches<std::u16string> copies(state, d.utf16);
  for (auto _ : state) {
    CXmlReader r;
    r.SetText(std::move(copies.Next()));
    benchmark::DoNotOptimize(WalkOurs(r));
  }
  state.counters["heap_per_text_byte"] = HeapPerTextByte(d.utf16);
}

void OursUtf8Text(benchmark::State& state) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    std::u16string text;
    AppendConverted(SystemCodePageConverter(), kCodePageUtf8, d.utf8.data(), d.utf8.size(), text);
    CXmlReader r;
    r.SetText(std::move(text));
    benchmark::DoNotOptimize(WalkOurs(r));
  }
}

void OursFile(benchmark::State& state, const std::string Docs::*file) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  std::u16string path = Path16(d.*file);
  for (auto _ : state) {
    CXmlReader r;
    r.LoadFile(path);
    benchmark::DoNotOptimize(WalkOurs(r));
  }
}
void OursFileUtf8(benchmark::State& s) { OursFile(s, &Docs::fileUtf8); }
void OursFileUtf16(benchmark::State& s) { OursFile(s, &Docs::fileUtf16); }
void OursFileGbk(benchmark::State& s) { OursFile(s, &Docs::fileGbk); }

// The floor: one vectorised pass counting every '<' of the text. Compare
// results are summed in 16-bit lanes and folded every 1024 blocks; a movemask
// and popcount per block would cost more than the load (no popcnt in the
// x86-64 baseline), and GCC at -O2 does not vectorise the plain loop.
std::size_t CountLt(const char16_t* p, const char16_t* end) {
  std::size_t n = 0;
#if defined(__SSE2__)
  const __m128i lt = _mm_set1_epi16(u'<');
  auto eq = [&lt](const char16_t* q) {
    return _mm_cmpeq_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(q)), lt);
  };
  while (end - p >= 32) {
    __m128i sum = _mm_setzero_si128();  // minus the count: a match compares as -1
    for (int k = 0; k < 1024 && end - p >= 32; ++k, p += 32) {
      sum = _mm_add_epi16(sum, _mm_add_epi16(_mm_add_epi16(eq(p), eq(p + 8)), _mm_add_epi16(eq(p + 16), eq(p + 24))));
    }
    alignas(16) int16_t lanes[8];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), sum);
    for (int16_t v : lanes) n += static_cast<std::size_t>(-v);
  }
#endif
  for (; p < end; ++p) n += *p == u'<';
  return n;
}

void ScanForLt(benchmark::State& state) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(CountLt(d.utf16.data(), d.utf16.data() + d.utf16.size()));
  }
}

// --- pugixml --------------------------------------------------------------

std::size_t WalkPugi(const pugi::xml_document& doc) {
  std::size_t total = 0;
  for (pugi::xml_node item = doc.first_child().child("item"); item; item = item.next_sibling("item")) {
    for (const char* f : kFields) {
      std::string v = item.child(f).child_value();
      total += v.size();
    }
  }
  return total;
}

void PugiText(benchmark::State& state, bool utf16) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document doc;
    if (utf16) {
      doc.load_buffer(d.utf16.data(), d.utf16.size() * 2, pugi::parse_default, pugi::encoding_utf16_le);
    } else {
      doc.load_buffer(d.utf8.data(), d.utf8.size(), pugi::parse_default, pugi::encoding_utf8);
    }
    benchmark::DoNotOptimize(WalkPugi(doc));
  }
}
void PugiUtf16Text(benchmark::State& s) { PugiText(s, true); }
void PugiUtf8Text(benchmark::State& s) { PugiText(s, false); }

void PugiFile(benchmark::State& state, const std::string Docs::*file) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    pugi::xml_document doc;
    doc.load_file((d.*file).c_str());
    benchmark::DoNotOptimize(WalkPugi(doc));
  }
}
void PugiFileUtf8(benchmark::State& s) { PugiFile(s, &Docs::fileUtf8); }
void PugiFileUtf16(benchmark::State& s) { PugiFile(s, &Docs::fileUtf16); }

// --- RapidXML -------------------------------------------------------------

template <typename Ch>
std::size_t WalkRapid(rapidxml::xml_document<Ch>& doc, const Ch* const* fields) {
  std::size_t total = 0;
  const Ch kItem[] = {'i', 't', 'e', 'm', 0};
  rapidxml::xml_node<Ch>* root = doc.first_node();
  if (!root) return 0;
  for (auto* item = root->first_node(kItem); item; item = item->next_sibling(kItem)) {
    for (int i = 0; i < 11; ++i) {
      auto* n = item->first_node(fields[i]);
      std::basic_string<Ch> v = n ? std::basic_string<Ch>(n->value(), n->value_size()) : std::basic_string<Ch>();
      total += v.size();
    }
  }
  return total;
}

void RapidUtf16Text(benchmark::State& state) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  CopyBatches<std::u16string> copies(state, d.utf16);
  for (auto _ : state) {
    rapidxml::xml_document<char16_t> doc;
    doc.parse<0>(copies.Next().data());
    benchmark::DoNotOptimize(WalkRapid<char16_t>(doc, kFields16));
  }
}

void RapidUtf8Text(benchmark::State& state) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  CopyBatches<std::string> copies(state, d.utf8);
  for (auto _ : state) {
    rapidxml::xml_document<char> doc;
    doc.parse<0>(copies.Next().data());
    benchmark::DoNotOptimize(WalkRapid<char>(doc, kFields));
  }
}

// --- expat ----------------------------------------------------------------

struct ExpatWalk {
  int depth = 0;
  bool inField = false;
  std::string value;
  std::size_t total = 0;
};

void ExpatText(benchmark::State& state, bool utf16) {
  const Docs& d = DocsFor(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    XML_Parser p = XML_ParserCreate(utf16 ? "UTF-16LE" : nullptr);
    ExpatWalk w;
    XML_SetUserData(p, &w);
    XML_SetElementHandler(
        p,
        [](void* u, const XML_Char*, const XML_Char**) {
          auto* w = static_cast<ExpatWalk*>(u);
          if (++w->depth == 3) {
            w->inField = true;
            w->value.clear();
          }
        },
        [](void* u, const XML_Char*) {
          auto* w = static_cast<ExpatWalk*>(u);
          if (w->depth-- == 3) {
            w->total += w->value.size();
            w->inField = false;
          }
        });
    XML_SetCharacterDataHandler(p, [](void* u, const XML_Char* s, int len) {
      auto* w = static_cast<ExpatWalk*>(u);
      if (w->inField) w->value.append(s, static_cast<std::size_t>(len));
    });
    if (utf16) {
      XML_Parse(p, reinterpret_cast<const char*>(d.utf16.data()), static_cast<int>(d.utf16.size() * 2), 1);
    } else {
      XML_Parse(p, d.utf8.data(), static_cast<int>(d.utf8.size()), 1);
    }
    benchmark::DoNotOptimize(w.total);
    XML_ParserFree(p);
  }
}
void ExpatUtf16Text(benchmark::State& s) { ExpatText(s, true); }
void ExpatUtf8Text(benchmark::State& s) { ExpatText(s, false); }

#define SIZES ->Arg(100)->Arg(5000)->Arg(100000)->Unit(benchmark::kMillisecond)
BENCHMARK(OursUtf16Text) SIZES;
BENCHMARK(RapidUtf16Text) SIZES;
BENCHMARK(PugiUtf16Text) SIZES;
BENCHMARK(ExpatUtf16Text) SIZES;
BENCHMARK(ScanForLt) SIZES;
BENCHMARK(OursUtf8Text) SIZES;
BENCHMARK(RapidUtf8Text) SIZES;
BENCHMARK(PugiUtf8Text) SIZES;
BENCHMARK(ExpatUtf8Text) SIZES;
BENCHMARK(OursFileUtf16) SIZES;
BENCHMARK(PugiFileUtf16) SIZES;
BENCHMARK(OursFileUtf8) SIZES;
BENCHMARK(PugiFileUtf8) SIZES;
BENCHMARK(OursFileGbk) SIZES;

// Remembers each run's time per iteration, for the ratios printed at the end.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  // With repetitions the median stands for the benchmark; without, its one run.
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& r : runs) {
      std::string name = r.run_name.str();
      if (r.run_type == Run::RT_Aggregate && r.aggregate_name == "median") {
        times[name] = r.GetAdjustedRealTime();
        medians[name] = true;
      } else if (r.run_type == Run::RT_Iteration && !medians[name]) {
        times[name] = r.GetAdjustedRealTime();
      }
    }
  }
  std::map<std::string, double> times;
  std::map<std::string, bool> medians;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  auto t = [&](const std::string& name, int n) {
    auto it = reporter.times.find(name + "/" + std::to_string(n));
    return it == reporter.times.end() ? 0.0 : it->second;
  };
  auto ratio = [](double a, double b) { return b > 0 ? a / b : 0.0; };
  std::printf("\nRatios (time of ours / time of the other; <= 1.0 means ours is faster)\n");
  for (int n : {100, 5000, 100000}) {
    double ours16 = t("OursUtf16Text", n);
    double best = 0;
    for (const char* peer : {"RapidUtf16Text", "PugiUtf16Text", "ExpatUtf16Text"}) {
      double p = t(peer, n);
      if (p > 0 && (best == 0 || p < best)) best = p;
      std::printf("  %6d items  UTF-16 text   ours / %-15s %.2f\n", n, peer, ratio(ours16, p));
    }
    std::printf("  %6d items  UTF-16 text   ours / best peer       %.2f\n", n, ratio(ours16, best));
    std::printf("  %6d items  UTF-16 text   ours / scan for '<'    %.1f\n", n, ratio(ours16, t("ScanForLt", n)));
    for (const char* peer : {"RapidUtf8Text", "PugiUtf8Text", "ExpatUtf8Text"}) {
      std::printf("  %6d items  UTF-8 text    ours / %-15s %.2f\n", n, peer, ratio(t("OursUtf8Text", n), t(peer, n)));
    }
    std::printf("  %6d items  UTF-16LE file ours / PugiFileUtf16   %.2f\n", n,
                ratio(t("OursFileUtf16", n), t("PugiFileUtf16", n)));
    std::printf("  %6d items  UTF-8 file    ours / PugiFileUtf8    %.2f\n", n,
                ratio(t("OursFileUtf8", n), t("PugiFileUtf8", n)));
    std::printf("  %6d items  GBK file      ours / PugiFileUtf8    %.2f (pugixml cannot read GBK; its UTF-8 load)\n",
                n, ratio(t("OursFileGbk", n), t("PugiFileUtf8", n)));
  }
  std::printf("  linearity: UTF-16 text 100000 / 5000 items = %.1f (20 is linear; goal <= 25)\n",
              ratio(t("OursUtf16Text", 100000), t("OursUtf16Text", 5000)));
  benchmark::Shutdown();
  return 0;
}
