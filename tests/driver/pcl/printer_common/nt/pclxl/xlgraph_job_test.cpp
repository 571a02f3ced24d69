// Jobs as the printer receives them: the job start with its PJL header, one
// BeginPage/EndPage pair per sheet with the paper, tray and copies of the
// settings, and the job end; the page store's commands in store mode.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>

#include "driver/pcl/printer_common/nt/pclxl/xljob.h"
#include "driver/pcl/printer_common/nt/pclxl/xlpagestore.h"
#include "tests/driver/pcl/printer_common/nt/pclxl/xlgraph_test_support.h"

namespace xltest {
namespace {

using Lines = std::vector<std::string>;
using Change = std::function<void(JobSettings&)>;

JobSettings With(const Change& change) {
  JobSettings js = JobDefaults();
  if (change) change(js);
  return js;
}

std::string Pjl(const std::string& setting) { return "PJL @PJL SET " + setting; }
Lines Pjl(const Lines& settings) {
  Lines lines;
  for (const auto& s : settings) lines.push_back(Pjl(s));
  return lines;
}

// The header lines from the duplex line up to the media lines.
Lines FinishingLines(const Lines& items) {
  auto first = std::find_if(items.begin(), items.end(), [](auto& i) { return i.find("DUPLEX") != i.npos; });
  auto last = std::find_if(first, items.end(), [](auto& i) { return i.find("ECONOMODE") != i.npos; });
  return Lines(first, last);
}

void Duplex(JobSettings& js, WORD mode, int edge) {
  js.pv.pvDuplex = mode;
  js.pv.pvBindingEdge = edge;
}

TEST_F(XlDriverTest, OnePageA4JobIsFramedExactly) {
  std::string bytes = PrintJob(JobDefaults(), 1);
  EXPECT_EQ(Items(bytes), (Lines{
                              "UEL",
                              "PJL @PJL SET DUPLEX = OFF",
                              "PJL @PJL SET FINISH = NONE",
                              "PJL @PJL SET ECONOMODE = OFF",
                              "PJL @PJL SET OUTBIN = UPPER",
                              "PJL @PJL SET PAPER = A4",
                              "PJL @PJL SET RESOLUTION = 600",
                              "PJL @PJL SET INTRAY =AUTO",
                              "PJL @PJL SET COPIES = 1",
                              "PJL @PJL SET MEDIATYPE = PLAIN",
                              "PJL @PJL SET SHIFT = OFF",
                              "PJL @PJL SET DENSITYBIAS = 0",
                              "PJL @PJL ENTER LANGUAGE=PCLXL",
                              "HEADER ) HP-PCL XL class 2.0 comment \"Comment\"",
                              "BeginSession UnitsPerMeasure=uint16_xy(600, 600) Measure=ubyte(0) ErrorReport=ubyte(3)",
                              "OpenDataSource SourceType=ubyte(0) DataOrg=ubyte(1)",
                              "BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(1)",
                              "SetPageDefaultCTM",
                              "SetPageOrigin PageOrigin=sint16_xy(100, 100)",
                              "SetPageScale PageScale=real32_xy(1, 1)",
                              "SetClipMode ClipMode=ubyte(1)",
                              "SetCursor Point=sint16_xy(0, 0)",
                              "SetColorSpace ColorSpace=ubyte(1)",
                              "EndPage PageCopies=uint16(1)",
                              "CloseDataSource",
                              "EndSession",
                              "UEL",
                          }));
  // PJL lines end with CR LF, the language switch with a line feed alone.
  const std::string start = "\x1B%-12345X@PJL SET DUPLEX = OFF\r\n@PJL SET FINISH = NONE\r\n";
  EXPECT_EQ(bytes.compare(0, start.size(), start), 0);
  EXPECT_NE(bytes.find("@PJL SET DENSITYBIAS = 0\r\n@PJL ENTER LANGUAGE=PCLXL\n) HP-PCL XL;2;0;Comment\n"),
            std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 9), "\x1B%-12345X");
}

TEST_F(XlDriverTest, DuplexBindingGuttersAndFinishingLines) {
  struct Case {
    const char* what;
    Change change;
    Lines lines;
  } cases[] = {
      {"simplex without finishing", nullptr, {"DUPLEX = OFF", "FINISH = NONE"}},
      {"duplex bound left, portrait",
       [](JobSettings& js) { Duplex(js, 2, 1); },
       {"DUPLEX = ON", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 0", "FINISH = NONE"}},
      {"duplex bound top, portrait",
       [](JobSettings& js) { Duplex(js, 3, 0); },
       {"DUPLEX = ON", "BINDING = SHORTEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 0", "FINISH = NONE"}},
      {"duplex bound top, landscape",
       [](JobSettings& js) {
         Duplex(js, 2, 0);
         LeSet(js.dm.dmOrientation, DMORIENT_LANDSCAPE);
       },
       {"DUPLEX = ON", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 0", "FINISH = NONE"}},
      {"duplex bound top, two pages per sheet",
       [](JobSettings& js) {
         Duplex(js, 2, 0);
         js.pv.pvPagesPerSheet = 2;
       },
       {"DUPLEX = ON", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 0", "FINISH = NONE"}},
      {"duplex bound top, four pages per sheet",
       [](JobSettings& js) {
         Duplex(js, 2, 0);
         js.pv.pvPagesPerSheet = 4;
       },
       {"DUPLEX = ON", "BINDING = SHORTEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 0", "FINISH = NONE"}},
      {"gutters in whole inches",
       [](JobSettings& js) {
         Duplex(js, 2, 1);
         js.pv.pvGutterUnit = kUnitInch;
         js.pv.pvGutterFront = 0.5f;
         js.pv.pvGutterBack = 1.9f;
       },
       {"DUPLEX = ON", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 600", "FINISH = NONE"}},
      {"gutters in millimetres, bound right",
       [](JobSettings& js) {
         Duplex(js, 2, 2);
         js.pv.pvGutterUnit = kUnitMillimetre;
         js.pv.pvGutterFront = 3.7f;
         js.pv.pvGutterBack = 3.7f;
       },
       {"DUPLEX = ON", "BINDING = LONGEDGE", "FRONTGUTTER = -69", "BACKGUTTER = 69", "FINISH = NONE"}},
      {"gutters that are no lengths",
       [](JobSettings& js) {
         Duplex(js, 2, 1);
         js.pv.pvGutterFront = std::nanf("");
         js.pv.pvGutterBack = -5.0f;
       },
       {"DUPLEX = ON", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 0", "FINISH = NONE"}},
      {"booklet",
       [](JobSettings& js) {
         js.pv.pvBookletBinding = 1;
         js.pv.pvGutterFront = 10.0f;
         js.pv.pvGutterBack = 10.0f;
       },
       {"DUPLEX = ON", "BINDING = SHORTEDGE", "FRONTGUTTER = 0", "BACKGUTTER = 0", "FINISH = NONE"}},
      {"staple in simplex",
       [](JobSettings& js) {
         js.pv.pvStaple = 1;
         js.pv.pvBindingEdge = 0;
       },
       {"DUPLEX = OFF", "BINDING = SHORTEDGE", "FRONTGUTTER = 0", "FINISH = STAPLE", "STAPLE = +1"}},
      {"two staples left with the top edge",
       [](JobSettings& js) {
         js.pv.pvStaple = 8;
         js.pv.pvBindingEdge = 0;
       },
       {"DUPLEX = OFF", "BINDING = SHORTEDGE", "FRONTGUTTER = 0", "FINISH = STAPLE"}},
      {"two holes",
       [](JobSettings& js) { js.pv.pvPunch = 4; },
       {"DUPLEX = OFF", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "FINISH = PUNCH", "PUNCH = 2"}},
      {"three holes",
       [](JobSettings& js) { js.pv.pvPunch = 32; },
       {"DUPLEX = OFF", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "FINISH = PUNCH", "PUNCH = 3"}},
      {"unknown punch",
       [](JobSettings& js) { js.pv.pvPunch = 5; },
       {"DUPLEX = OFF", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "FINISH = PUNCH"}},
      {"staple and punch",
       [](JobSettings& js) {
         js.pv.pvStaple = 8;
         js.pv.pvPunch = 1;
       },
       {"DUPLEX = OFF", "BINDING = LONGEDGE", "FRONTGUTTER = 0", "FINISH = BOTH", "STAPLE = 2", "PUNCH = 2"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(FinishingLines(PrintItems(With(c.change))), Pjl(c.lines));
  }
}

TEST_F(XlDriverTest, StapleLineFollowsPositionAndBindingEdge) {
  struct Case {
    int staple;
    int edge;
    const char* line;  // none: no STAPLE line
  } cases[] = {
      {1, 0, "STAPLE = +1"}, {1, 1, "STAPLE = -1"}, {1, 2, nullptr},       {2, 0, "STAPLE = -1"},
      {2, 1, nullptr},       {2, 2, "STAPLE = +1"}, {4, 0, "STAPLE = 2"},  {4, 1, nullptr},
      {8, 1, "STAPLE = 2"},  {8, 2, nullptr},       {16, 2, "STAPLE = 2"}, {16, 0, nullptr},
      {3, 0, nullptr},  // no such staple position
      {1, 3, nullptr},  // no such edge
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.staple) + " at edge " + std::to_string(c.edge));
    Lines items = PrintItems(With([&](JobSettings& js) {
      js.pv.pvStaple = c.staple;
      js.pv.pvBindingEdge = c.edge;
    }));
    EXPECT_EQ(First(items, "PJL @PJL SET FINISH"), Pjl("FINISH = STAPLE"));
    EXPECT_EQ(First(items, "PJL @PJL SET STAPLE"), c.line ? Pjl(c.line) : "(none)");
  }
}

TEST_F(XlDriverTest, MediaLinesFollowTheSettings) {
  struct Case {
    Change change;
    std::string line;
  } cases[] = {
      {[](JobSettings& js) { js.pv.pvTonerSave = 1; }, "ECONOMODE = ON"},
      {[](JobSettings& js) { js.pv.pvOutputBin = kBinTwoBinUpper; }, "OUTBIN = OPTIONALOUTBIN1"},
      {[](JobSettings& js) { js.pv.pvOutputBin = kBinFinisherLower; }, "OUTBIN = OPTIONALOUTBIN1"},
      {[](JobSettings& js) { js.pv.pvOutputBin = kBinFinisherUpper; }, "OUTBIN = UPPER"},
      {[](JobSettings& js) { LeSet(js.dm.dmPaperSize, DMPAPER_A3); }, "PAPER = A3"},
      {[](JobSettings& js) { LeSet(js.dm.dmPaperSize, kPaperHalfLetter); }, "PAPER = HALFLETTER"},
      {[](JobSettings& js) { LeSet(js.dm.dmPaperSize, 60); }, "PAPER = F4"},
      {[](JobSettings& js) { LeSet(js.dm.dmPaperSize, 71); }, "PAPER = KAKU2"},
      {[](JobSettings& js) { LeSet(js.dm.dmPaperSize, 37); }, "PAPER = MONARCH"},
      {[](JobSettings& js) {  // the output paper of fit-to-paper comes first
         js.pv.pvPrintToPaper = 1;
         js.pv.pvPrintToPaperSize = DMPAPER_A3;
         js.pv.pvPrintToPaperWidth = 0;
         js.pv.pvPrintToPaperLength = 0;
       },
       "PAPER = A3"},
      {[](JobSettings& js) {
         js.pv.pvBookletBinding = 1;
         js.pv.pvBookletPaperSize = DMPAPER_B4;
       },
       "PAPER = JISB4"},
      {[](JobSettings& js) { LeSet(js.dm.dmPrintQuality, 300); }, "RESOLUTION = 300"},
      {[](JobSettings& js) { js.pv.pvInputTray = 1; }, "INTRAY =MANUALTRAY"},
      {[](JobSettings& js) { js.pv.pvInputTray = 6; }, "INTRAY =LARGETRAY"},
      {[](JobSettings& js) { js.pv.pvInputTray = 7; }, "INTRAY =AUTO"},
      {[](JobSettings& js) { js.pv.pvMediaType = 1; }, "MEDIATYPE = THICK"},
      {[](JobSettings& js) { js.pv.pvMediaType = 2; }, "MEDIATYPE = TRANSPARENCY"},
      {[](JobSettings& js) { js.pv.pvMediaType = 3; }, "MEDIATYPE = SPECIAL"},
      {[](JobSettings& js) { js.pv.pvMediaType = 9; }, "MEDIATYPE = PLAIN"},
      {[](JobSettings& js) { js.pv.pvShift = 1; }, "SHIFT = ON"},
      {[](JobSettings& js) { js.pv.pvDensity = -5; }, "DENSITYBIAS = -5"},
      {[](JobSettings& js) { js.pv.pvDensity = 50; }, "DENSITYBIAS = 50"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Lines items = PrintItems(With(c.change));
    std::string key = c.line.substr(0, c.line.find_first_of(" ="));
    EXPECT_EQ(First(items, Pjl(key)), Pjl(c.line));
  }
}

TEST_F(XlDriverTest, CopiesAreMadeByThePrinterOrPerPage) {
  struct Case {
    SHORT copies;
    int sort;
    const char* line;
    const char* endPage;
  } cases[] = {
      {3, 1, "QTY = 3", "EndPage PageCopies=uint16(1)"},    // collated: the printer repeats the job
      {3, 0, "COPIES = 3", "EndPage PageCopies=uint16(3)"},  // uncollated: each page is repeated
      {1, 1, "COPIES = 1", "EndPage PageCopies=uint16(1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    Lines items = PrintItems(With([&](JobSettings& js) {
      LeSet(js.dm.dmCopies, c.copies);
      js.pv.pvSort = c.sort;
    }));
    EXPECT_EQ(Matching(items, "PJL @PJL SET QTY").size() + Matching(items, "PJL @PJL SET COPIES").size(), 1u);
    EXPECT_EQ(First(items, Pjl(std::string(c.line).substr(0, 3))), Pjl(c.line));
    EXPECT_EQ(First(items, "EndPage"), c.endPage);
  }
}

TEST_F(XlDriverTest, CustomPaperGoesAsDecipointsAndMillimetres) {
  struct Case {
    SHORT orientation;
    Lines lines;
    const char* beginPage;
  } cases[] = {
      {DMORIENT_PORTRAIT,
       {"PAPER = CUSTOM", "PAPERLENGTH = 8419", "PAPERWIDTH = 5953"},
       "BeginPage Orientation=ubyte(0) CustomMediaSize=uint16_xy(210, 297) CustomMediaSizeUnits=ubyte(1) "
       "MediaSource=ubyte(1)"},
      // The merge turns a custom paper with the page.
      {DMORIENT_LANDSCAPE,
       {"PAPER = CUSTOM", "PAPERLENGTH = 5953", "PAPERWIDTH = 8419"},
       "BeginPage Orientation=ubyte(1) CustomMediaSize=uint16_xy(297, 210) CustomMediaSizeUnits=ubyte(1) "
       "MediaSource=ubyte(1)"},
  };
  for (const Case& c : cases) {
    Lines items = PrintItems(With([&](JobSettings& js) {
      CustomPaperEntry& entry = js.pv.pvCustomPapers[0];
      entry.fWidth = 210.0f;
      entry.fLength = 297.0f;
      entry.lUnit = kUnitMillimetre;
      LeSet(js.dm.dmPaperSize, kFirstCustomPaperCode);
      LeSet(js.dm.dmOrientation, c.orientation);
    }));
    Lines paper = Matching(items, "PJL @PJL SET PAPER");
    EXPECT_EQ(paper, Pjl(c.lines));
    EXPECT_EQ(First(items, "BeginPage"), c.beginPage);
  }
}

TEST_F(XlDriverTest, SheetsOfTwoPagesBeginAndEndEveryOtherPage) {
  HANDLE printer = k460::OpenCapturePrinter();
  PDEV* pdev = Enable(With([](JobSettings& js) { js.pv.pvPagesPerSheet = 2; }), printer);
  ASSERT_NE(pdev, nullptr);
  SURFOBJ* so = Surface(pdev);
  ASSERT_TRUE(DrvStartDoc(so, nullptr, 1));
  for (int page = 0; page < 3; ++page) ASSERT_TRUE(DrvStartPage(so) && DrvSendPage(so));
  // The third page's sheet is still open: its EndPage comes with the end of the document.
  EXPECT_EQ(Matching(Items(k460::CapturedOutput(printer), false), "EndPage").size(), 1u);
  ASSERT_TRUE(DrvEndDoc(so, 0));
  Lines pages;
  for (const auto& item : Items(k460::CapturedOutput(printer)))
    if (item.starts_with("BeginPage") || item.starts_with("EndPage") || item.starts_with("SetPageOrigin"))
      pages.push_back(item.substr(0, item.find(' ')));
  EXPECT_EQ(pages, (Lines{"BeginPage", "SetPageOrigin", "SetPageOrigin", "EndPage", "BeginPage", "SetPageOrigin",
                          "EndPage"}));
  CloseHandle(printer);
}

TEST_F(XlDriverTest, MediaSourceFallsBackWhereTheOptionIsNotInstalled) {
  struct Case {
    int tray;
    Change options;
    int source;
  } cases[] = {
      {0, nullptr, 1},
      {1, nullptr, 2},
      {2, nullptr, 4},
      {3, nullptr, 5},
      {4, nullptr, 1},
      {4, [](JobSettings& js) { js.pv.pvCassette3 = 1; }, 6},
      {5, nullptr, 1},
      {5, [](JobSettings& js) { js.pv.pvCassette4 = 1; }, 7},
      {6, nullptr, 1},
      {6, [](JobSettings& js) { js.pv.pvFeedCabinet = 1; }, 9},
      {9, nullptr, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("tray " + std::to_string(c.tray));
    Lines items = PrintItems(With([&](JobSettings& js) {
      LeSet(js.dm.dmDefaultSource, static_cast<SHORT>(kSourceBase + c.tray));
      if (c.options) c.options(js);
    }));
    EXPECT_EQ(First(items, "BeginPage"),
              "BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(" + std::to_string(c.source) + ")");
  }
}

TEST_F(XlDriverTest, FirstPageComesFromItsOwnTray) {
  Lines items = PrintItems(With([](JobSettings& js) {
                             js.pv.pvFirstPageSourceOn = 1;
                             js.pv.pvFirstPageSource = 2;
                           }),
                           2);
  EXPECT_EQ(Matching(items, "BeginPage"),
            (Lines{"BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(4)",
                   "BeginPage Orientation=ubyte(0) MediaSize=ubyte(2) MediaSource=ubyte(1)"}));
}

TEST_F(XlDriverTest, ZoomScalesThePageFromTheMarginOrTheCorner) {
  struct Case {
    int zoom;
    const char* origin;
    const char* scale;
  } cases[] = {
      {100, "SetPageOrigin PageOrigin=sint16_xy(100, 100)", "SetPageScale PageScale=real32_xy(1, 1)"},
      {50, "SetPageOrigin PageOrigin=sint16_xy(100, 100)", "SetPageScale PageScale=real32_xy(0.5, 0.5)"},
      {200, "SetPageOrigin PageOrigin=sint16_xy(0, 0)", "SetPageScale PageScale=real32_xy(2, 2)"},
  };
  for (const Case& c : cases) {
    Lines items = PrintItems(With([&](JobSettings& js) { js.pv.pvZoom = c.zoom; }));
    EXPECT_EQ(First(items, "SetPageOrigin"), c.origin) << c.zoom;
    EXPECT_EQ(First(items, "SetPageScale"), c.scale) << c.zoom;
  }
}

TEST_F(XlDriverTest, BorderIsDrawnAroundEveryPageOfASheet) {
  Lines items = PrintItems(With([](JobSettings& js) {
    js.pv.pvPagesPerSheet = 2;
    js.pv.pvNupBorder = 1;
  }));
  auto frame = std::find(items.begin(), items.end(), "PushGS");
  ASSERT_NE(frame, items.end());
  Lines drawn;
  for (auto it = frame; it != items.end() && drawn.size() < 10; ++it) drawn.push_back(*it);
  EXPECT_EQ(drawn, (Lines{"PushGS", "SetPageDefaultCTM", "SetClipToPage", "SetColorSpace ColorSpace=ubyte(1)",
                          "SetPenSource GrayLevel=real32(0)", "SetPenWidth PenWidth=uint16(2)",
                          "SetBrushSource NullBrush=ubyte(0)", "SetROP ROP3=ubyte(252)",
                          "Rectangle BoundingBox=sint16_box(0, 0, 4760, 6814)", "PopGS"}));
}

// Records what reaches the page store and passes it on to the store it
// stands in front of.
class RecordingPageStore final : public XlPageStore {
 public:
  explicit RecordingPageStore(XlPageStore* next) : next_(next) {}
  BOOL Booklet_Reverse_StoreData(DevParams* params, DWORD command, const BYTE* data, DWORD cb,
                                 DWORD reserved) override {
    // Empty flushes carry nothing to file.
    if (cb || command == BOOKLET_REVERSE_NEW_FRAME) {
      std::string bytes(reinterpret_cast<const char*>(data), cb);
      filed.push_back(std::to_string(command) + ":" + Describe(command, bytes));
    }
    return next_->Booklet_Reverse_StoreData(params, command, data, cb, reserved);
  }
  Lines filed;

 private:
  // The last operator of a block tells what it is; the printer handle goes as its bytes.
  static std::string Describe(DWORD command, const std::string& bytes) {
    if (command == BOOKLET_REVERSE_HANDLE_PRINTER) return std::to_string(bytes.size()) + " bytes";
    if (bytes.empty()) return "";
    if (bytes.ends_with("\x1B%-12345X")) return "ends with UEL";
    char code[8];
    std::snprintf(code, sizeof code, "0x%02X", static_cast<unsigned char>(bytes.back()));
    return std::string("ends with ") + code;
  }
  XlPageStore* next_;
};

TEST_F(XlDriverTest, StoreModeFilesEveryPartOfTheJobUnderItsCommand) {
  HANDLE printer = k460::OpenCapturePrinter();
  PDEV* pdev = Enable(With([](JobSettings& js) { js.pv.pvReverseOrder = 1; }), printer);
  ASSERT_NE(pdev, nullptr);
  SURFOBJ* so = Surface(pdev);
  ASSERT_TRUE(DrvStartDoc(so, nullptr, 1));
  DevParams& params = pdev->pStream->devParams;
  ASSERT_NE(params.pPageStore, nullptr);
  RecordingPageStore recorder(params.pPageStore);
  params.pPageStore = &recorder;
  for (int page = 0; page < 2; ++page) ASSERT_TRUE(DrvStartPage(so) && DrvSendPage(so));
  ASSERT_TRUE(DrvEndDoc(so, 0));
  EXPECT_EQ(recorder.filed, (Lines{"0:ends with 0x48",  // job start up to OpenDataSource
                                   "1:ends with 0x6A",  // BeginPage and the page set-up up to SetColorSpace
                                   "4:ends with 0x44",  // EndPage
                                   "2:",                // a new frame
                                   "1:ends with 0x6A", "4:ends with 0x44", "2:",
                                   "6:" + std::to_string(sizeof(HANDLE)) + " bytes",  // the printer
                                   "5:ends with UEL"}));  // CloseDataSource, EndSession, UEL
  // Until pages are replayed in another order, the store passes the job on as it came.
  Lines items = Items(k460::CapturedOutput(printer));
  EXPECT_EQ(Matching(items, "BeginPage").size(), 2u);
  EXPECT_EQ(items.back(), "UEL");
  CloseHandle(printer);
}

}  // namespace
}  // namespace xltest
