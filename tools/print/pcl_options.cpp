#include "tools/print/pcl_options.h"

#include <algorithm>
#include <vector>

#include "driver/pcl/printer_common/settings/paper_table.h"
#include "driver/pcl/printer_common/settings/settings.h"
#include "platform/base/text.h"
#include "tools/print/pcl_fields.h"

namespace k460::print {
namespace {

using Record = JobSettings;

// ---- Value lists --------------------------------------------------------------
const std::vector<Choice>& MediaChoices() {
  static const std::vector<Choice> choices = [] {
    std::vector<Choice> list;
    for (const Media& media : MediaTable()) list.push_back({media.name, media.paperCode});
    for (const Media& media : MediaTable()) {
      std::string_view rest = media.aliases;
      while (!rest.empty()) {
        const std::size_t blank = rest.find(' ');
        list.push_back({rest.substr(0, blank), media.paperCode, false});
        rest = blank == std::string_view::npos ? std::string_view() : rest.substr(blank + 1);
      }
    }
    return list;
  }();
  return choices;
}

// "none" and then every paper: the output paper of output-media.
const std::vector<Choice>& OutputMediaChoices() {
  static const std::vector<Choice> choices = [] {
    std::vector<Choice> list{{"none", 0}};
    const std::vector<Choice>& media = MediaChoices();
    list.insert(list.end(), media.begin(), media.end());
    return list;
  }();
  return choices;
}

// The booklet sheets of the page layout page, in the order of its list.
constexpr int kBookletPapers[] = {
    DMPAPER_LETTER, kPaperHalfLetter, DMPAPER_LEGAL, 4 /* Ledger */, DMPAPER_A3, DMPAPER_A4,
    DMPAPER_A5,     DMPAPER_B4,       DMPAPER_B5,    60 /* F4 */,    7 /* Executive */};

const std::vector<Choice>& BookletChoices() {
  static const std::vector<Choice> choices = [] {
    std::vector<Choice> list{{"none", 0}};
    for (const Choice& choice : MediaChoices())
      if (std::find(std::begin(kBookletPapers), std::end(kBookletPapers), choice.value) != std::end(kBookletPapers))
        list.push_back(choice);
    return list;
  }();
  return choices;
}

constexpr Choice kMediaTypes[] = {
    {"plain", 0}, {"thick", 1}, {"transparency", 2}, {"envelope", 3}, {"postcard", 3, false}};
constexpr Choice kTrays[] = {{"Auto", 0},         {"Manual", 1},       {"Cassette1", 2},    {"Cassette2", 3},
                             {"Cassette3", 4},    {"Cassette4", 5},    {"FeedCabinet", 6},  {"Tray1", 2, false},
                             {"Tray2", 3, false}, {"Tray3", 4, false}, {"Tray4", 5, false}, {"Bypass", 1, false}};
constexpr Choice kOrientations[] = {{"3", DMORIENT_PORTRAIT},
                                    {"4", DMORIENT_LANDSCAPE},
                                    {"portrait", DMORIENT_PORTRAIT, false},
                                    {"landscape", DMORIENT_LANDSCAPE, false}};
constexpr Choice kNumberUp[] = {{"1", 1}, {"2", 2}, {"4", 4}, {"8", 8}};
constexpr Choice kNumberUpLayouts[] = {{"lrtb", 1}, {"rltb", 2}, {"tblr", 3}, {"tbrl", 4}};
constexpr Choice kPageBorders[] = {{"none", 0}, {"single", 1}};
constexpr int kOneSided = 1, kLongEdge = 2, kShortEdge = 3;
constexpr Choice kSides[] = {
    {"one-sided", kOneSided}, {"two-sided-long-edge", kLongEdge}, {"two-sided-short-edge", kShortEdge}};
constexpr Choice kBookletBindings[] = {{"left", 1}, {"right", 2}, {"top", 1, false}, {"bottom", 2, false}};
constexpr Choice kStaples[] = {{"none", 0},     {"top-left", 1},  {"top-right", 2},
                               {"dual-top", 4}, {"dual-left", 8}, {"dual-right", 16}};
constexpr Choice kPunches[] = {{"none", 0}, {"top", 1}, {"left", 4}, {"right", 16}};
constexpr Choice kOutputBins[] = {{"standard", kBinStandard},
                                  {"two-bin-upper", kBinTwoBinUpper},
                                  {"finisher-upper", kBinFinisherUpper},
                                  {"finisher-lower", kBinFinisherLower}};
constexpr Choice kResolutions[] = {{"600dpi", 600}, {"300dpi", 300}, {"600", 600, false}, {"300", 300, false}};
constexpr Choice kPrintQualities[] = {{"draft", 300},    {"normal", 600},   {"high", 600},
                                      {"3", 300, false}, {"4", 600, false}, {"5", 600, false}};
constexpr Choice kOutputOrders[] = {{"normal", 0}, {"reverse", 1}};

AcceptedValues Choices(std::span<const Choice> choices) { return {ValueKind::Choice, choices}; }
AcceptedValues Range(int minimum, int maximum) { return {ValueKind::Range, {}, minimum, maximum}; }
constexpr AcceptedValues kBoolean{ValueKind::Boolean, {}, 0, 0};

// ---- Record helpers -------------------------------------------------------------
void AddFields(Record& r, DWORD bits) { LeSet(r.dm.dmFields, LeGet(r.dm.dmFields) | bits); }

bool DuplexOn(const Record& r) { return r.pv.pvDuplex != kDuplexOff; }

// The duplex mode lives in pvDuplex; dmDuplex carries it only when the
// driver's INI file forces it there, and otherwise stays 1.
void SetDuplex(Record& r, WORD mode) {
  r.pv.pvDuplex = mode;
  const bool forced = r.pv.pvForceDuplexField != 0;
  LeSet(r.dm.dmDuplex, static_cast<SHORT>(forced ? mode : DMDUP_SIMPLEX));
  if (forced) AddFields(r, DM_DUPLEX);
}

std::string OrientationWord(const Record& r) {
  return LeGet(r.dm.dmOrientation) == DMORIENT_LANDSCAPE ? "landscape" : "portrait";
}

bool BookletOn(const Record& r) { return r.pv.pvBookletBinding != 0; }

// Staples and punch holes decide the binding edge (0 top, 1 left, 2 right).
// Duplex binds an edge too: when sides was given and binds the other kind
// of edge (top versus side), the two cannot be printed together; a duplex
// mode from the printer's defaults follows the finishing instead.
void BindForFinishing(Record& r, int edge, std::string_view option, const GivenOptions& given) {
  if (DuplexOn(r) && (edge == 0) != (r.pv.pvBindingEdge == 0) && given.Has("sides"))
    throw OptionError(given.Text(option) + " cannot be combined with " + given.Text("sides") + " in " +
                      OrientationWord(r) + ": they need different binding edges");
  r.pv.pvBindingEdge = edge;
  if (DuplexOn(r)) {
    r.pv.pvDuplexBinding = edge;
    SetDuplex(r, edge == 0 ? kDuplexTopEdge : kDuplexSideEdge);
  }
}

void RejectWithBooklet(const Record& r, std::string_view option, const GivenOptions& given) {
  if (BookletOn(r)) throw OptionError(given.Text(option) + " cannot be combined with " + given.Text("booklet"));
}

// ---- Rules --------------------------------------------------------------------
void ApplyCopies(Record& r, int v, const GivenOptions&) {
  LeSet(r.dm.dmCopies, static_cast<SHORT>(v));
  AddFields(r, DM_COPIES);
}

void ApplyMedia(Record& r, int code, const GivenOptions&) {
  const Media* media = FindMediaByCode(code);
  LeSet(r.dm.dmPaperSize, static_cast<SHORT>(code));
  LeSet(r.dm.dmPaperWidth, SHORT{0});
  LeSet(r.dm.dmPaperLength, SHORT{0});
  r.pv.pvPaperIndex = FindPaperIndex(code);
  StoreText(r.dm.dmFormName, CCHFORMNAME, Utf8ToUtf16(media ? media->formName : ""));
  AddFields(r, DM_PAPERSIZE | DM_FORMNAME);
}

void ApplyMediaType(Record& r, int v, const GivenOptions&) { r.pv.pvMediaType = v; }

void ApplyInputSlot(Record& r, int tray, const GivenOptions& given) {
  if (tray >= 2 && r.pv.pvMediaType != 0) {
    // Cassettes and the feed cabinet hold plain paper only.
    if (given.Has("media-type"))
      throw OptionError(given.Text("media-type") + " needs InputSlot=Auto or InputSlot=Manual, not " +
                        given.Text("InputSlot"));
    r.pv.pvMediaType = 0;
  }
  r.pv.pvInputTray = tray;
  LeSet(r.dm.dmDefaultSource, static_cast<SHORT>(kSourceBase + tray));
  AddFields(r, DM_DEFAULTSOURCE);
}

void ApplyOrientation(Record& r, int v, const GivenOptions&) {
  LeSet(r.dm.dmOrientation, static_cast<SHORT>(v));
  AddFields(r, DM_ORIENTATION);
}

void ApplyNumberUp(Record& r, int v, const GivenOptions&) {
  r.pv.pvPagesPerSheet = v;
  if (v == 1) r.pv.pvNupBorder = 0;
}

void ApplyNumberUpLayout(Record& r, int v, const GivenOptions&) { r.pv.pvNupOrder = v; }

void ApplyPageBorder(Record& r, int v, const GivenOptions& given) {
  if (v && r.pv.pvPagesPerSheet == 1) throw OptionError(given.Text("page-border") + " needs number-up=2, 4 or 8");
  r.pv.pvNupBorder = v;
}

void ApplySides(Record& r, int v, const GivenOptions&) {
  if (v == kOneSided) {
    SetDuplex(r, kDuplexOff);
    return;
  }
  // The driver binds on the long edge of the sheet with binding edge 0 (top)
  // exactly when the page is landscape on its sheet: landscape at 1 or 4
  // pages a sheet, portrait at 2 or 8 (those turn the sheet).
  const int n = r.pv.pvPagesPerSheet;
  const bool turned = n == 2 || n == 8;
  const bool landscape = LeGet(r.dm.dmOrientation) == DMORIENT_LANDSCAPE;
  const bool topIsLongEdge = landscape != turned;
  const int edge = (v == kLongEdge) == topIsLongEdge ? 0 : 1;
  r.pv.pvBindingEdge = edge;
  r.pv.pvDuplexBinding = edge;
  SetDuplex(r, edge == 0 ? kDuplexTopEdge : kDuplexSideEdge);
}

void ApplyBooklet(Record& r, int code, const GivenOptions& given) {
  if (code == 0) {
    r.pv.pvBookletIndex = 0;
    r.pv.pvBookletPaperSize = 0;
    r.pv.pvBookletBinding = 0;
    return;
  }
  // A booklet is two pages a side, printed on both sides.
  if (given.Has("number-up") && given.Value("number-up") != 2)
    throw OptionError(given.Text("booklet") + " needs number-up=2, not " + given.Text("number-up"));
  if (given.Has("sides") && given.Value("sides") == kOneSided)
    throw OptionError(given.Text("booklet") + " prints on both sides; it cannot be combined with " +
                      given.Text("sides"));
  // The sheets a tray offers for booklets, as the page layout page lists them.
  std::vector<int> sheets(std::begin(kBookletPapers), std::end(kBookletPapers));
  const int tray = r.pv.pvInputTray;
  const bool letter = UsesLetterPaper();
  if (tray >= 2 && tray <= 5) std::erase(sheets, letter ? DMPAPER_A5 : kPaperHalfLetter);
  if (tray == 6) sheets = {letter ? DMPAPER_LETTER : DMPAPER_A4};
  const auto found = std::find(sheets.begin(), sheets.end(), code);
  if (found == sheets.end())
    throw OptionError(given.Text("booklet") +
                      " is not available from InputSlot=" + std::string(KeywordOf(kTrays, tray)));
  r.pv.pvBookletPaperSize = code;
  r.pv.pvBookletIndex = static_cast<int>(found - sheets.begin()) + 1;
  r.pv.pvBookletBinding = 1;
  r.pv.pvPagesPerSheet = 2;
  if (!DuplexOn(r)) SetDuplex(r, kDuplexSideEdge);
}

void ApplyBookletBinding(Record& r, int v, const GivenOptions& given) {
  if (!BookletOn(r)) throw OptionError(given.Text("booklet-binding") + " needs booklet=PAPER");
  r.pv.pvBookletBinding = v;
}

void ApplyCollate(Record& r, int v, const GivenOptions&) {
  LeSet(r.dm.dmCollate, static_cast<SHORT>(v));
  r.pv.pvSort = v;
  AddFields(r, DM_COLLATE);
}

void ApplyStaple(Record& r, int staple, const GivenOptions& given) {
  if (staple == 0) {
    r.pv.pvStaple = 0;
    return;
  }
  RejectWithBooklet(r, "staple", given);
  if (given.Has("collate") && given.Value("collate") == 0)
    throw OptionError(given.Text("staple") + " needs collated copies; it cannot be combined with " +
                      given.Text("collate"));
  const int current = r.pv.pvBindingEdge;
  int edge = 0;
  switch (staple) {
    case 1:
      edge = current == 0 ? 0 : 1;
      break;  // top left: top or left binding
    case 2:
      edge = current == 0 ? 0 : 2;
      break;  // top right: top or right binding
    case 4:
      edge = 0;
      break;
    case 8:
      edge = 1;
      break;
    case 16:
      edge = 2;
      break;
  }
  BindForFinishing(r, edge, "staple", given);
  r.pv.pvStaple = staple;
  r.pv.pvLastStaple = staple;
  // Stapled sets are always collated.
  LeSet(r.dm.dmCollate, SHORT{1});
  r.pv.pvSort = 1;
  AddFields(r, DM_COLLATE);
}

void ApplyPunch(Record& r, int punch, const GivenOptions& given) {
  if (punch == 0) {
    r.pv.pvPunch = 0;
    return;
  }
  RejectWithBooklet(r, "punch", given);
  // The punch positions each staple position can be combined with.
  const int staple = r.pv.pvStaple;
  int allowed = 1 | 4 | 16;
  switch (staple) {
    case 1:
      allowed = 1 | 4;
      break;
    case 2:
      allowed = 1 | 16;
      break;
    case 4:
      allowed = 1;
      break;
    case 8:
      allowed = 4;
      break;
    case 16:
      allowed = 16;
      break;
  }
  if ((allowed & punch) == 0)
    throw OptionError(given.Text("punch") +
                      " cannot be combined with staple=" + std::string(KeywordOf(kStaples, staple)));
  BindForFinishing(r, punch == 1 ? 0 : punch == 4 ? 1 : 2, "punch", given);
  r.pv.pvPunch = punch;
  r.pv.pvLastPunch = punch;
}

void ApplyShift(Record& r, int v, const GivenOptions& given) {
  if (v && r.pv.pvStaple != 0)
    throw OptionError(given.Text("shift") +
                      " cannot be combined with staple=" + std::string(KeywordOf(kStaples, r.pv.pvStaple)));
  r.pv.pvShift = v;
}

void ApplyOutputBin(Record& r, int v, const GivenOptions&) { r.pv.pvOutputBin = v; }

void ApplyResolution(Record& r, int dpi, const GivenOptions&) {
  LeSet(r.dm.dmPrintQuality, static_cast<SHORT>(dpi));
  LeSet(r.dm.dmYResolution, static_cast<SHORT>(dpi));
  AddFields(r, DM_PRINTQUALITY);
}

void ApplyTonerSave(Record& r, int v, const GivenOptions&) { r.pv.pvTonerSave = v ? 1 : 2; }

void ApplyDensity(Record& r, int v, const GivenOptions&) { r.pv.pvDensity = v; }

void ApplyZoom(Record& r, int v, const GivenOptions& given) {
  if (v != 100 && r.pv.pvPagesPerSheet != 1)
    throw OptionError(given.Text("zoom") + " needs one page a sheet (number-up=1, no booklet)");
  r.pv.pvZoom = v;
}

void ApplyOutputMedia(Record& r, int code, const GivenOptions& given) {
  if (code == 0) {
    r.pv.pvPrintToPaper = 0;
    return;
  }
  if (r.pv.pvPagesPerSheet != 1)
    throw OptionError(given.Text("output-media") + " needs one page a sheet (number-up=1, no booklet)");
  r.pv.pvPrintToPaper = 1;
  r.pv.pvPrintToPaperSize = code;
  r.pv.pvPrintToPaperIndex = FindPaperIndex(code);
  // Non-zero sizes would make the output paper a custom one.
  r.pv.pvPrintToPaperWidth = 0;
  r.pv.pvPrintToPaperLength = 0;
}

void ApplyFitToPage(Record& r, int v, const GivenOptions& given) {
  if (v && r.pv.pvPrintToPaper == 0)
    throw OptionError(given.Text("fit-to-page") + " needs output-media=PAPER: the page is scaled from media onto it");
  if (v && r.pv.pvZoom != 100)
    throw OptionError(given.Text("fit-to-page") + " cannot be combined with " + given.Text("zoom"));
  r.pv.pvFitToPaper = v;
}

void ApplyOutputOrder(Record& r, int v, const GivenOptions&) { r.pv.pvReverseOrder = v; }

// In the order they are applied: every rule may rely on those above it.
const std::vector<OptionRule<Record>>& Rules() {
  static const std::vector<OptionRule<Record>> rules = {
      {"copies", Range(1, 999), ApplyCopies, "copies of the document (also -n)"},
      {"media", Choices(MediaChoices()), ApplyMedia, "paper size"},
      {"media-type", Choices(kMediaTypes), ApplyMediaType, "kind of paper"},
      {"InputSlot", Choices(kTrays), ApplyInputSlot, "paper source"},
      {"orientation-requested", Choices(kOrientations), ApplyOrientation, "3 portrait, 4 landscape"},
      {"number-up", Choices(kNumberUp), ApplyNumberUp, "pages on each side of a sheet"},
      {"number-up-layout", Choices(kNumberUpLayouts), ApplyNumberUpLayout, "order of the pages on a sheet"},
      {"page-border", Choices(kPageBorders), ApplyPageBorder, "frame around each page of a sheet"},
      {"sides", Choices(kSides), ApplySides, "printing on one or both sides"},
      {"booklet", Choices(BookletChoices()), ApplyBooklet, "booklet on sheets of this paper"},
      {"booklet-binding", Choices(kBookletBindings), ApplyBookletBinding, "binding side of the booklet"},
      {"collate", kBoolean, ApplyCollate, "collated copies"},
      {"staple", Choices(kStaples), ApplyStaple, "staple position"},
      {"punch", Choices(kPunches), ApplyPunch, "punch holes"},
      {"shift", kBoolean, ApplyShift, "offset each copy in the output tray"},
      {"output-bin", Choices(kOutputBins), ApplyOutputBin, "output tray"},
      {"print-quality", Choices(kPrintQualities), ApplyResolution, "draft 300 dpi, normal and high 600 dpi"},
      {"resolution", Choices(kResolutions), ApplyResolution, "resolution in dots per inch"},
      {"toner-save", kBoolean, ApplyTonerSave, "economy mode"},
      {"density", Range(-50, 50), ApplyDensity, "print density"},
      {"zoom", Range(25, 400), ApplyZoom, "scale in percent"},
      {"output-media", Choices(OutputMediaChoices()), ApplyOutputMedia, "print on another paper size"},
      {"fit-to-page", kBoolean, ApplyFitToPage, "scale the page onto output-media"},
      {"outputorder", Choices(kOutputOrders), ApplyOutputOrder, "reverse: last page first"},
  };
  return rules;
}

constexpr OptionAlias kAliases[] = {
    {"landscape", "orientation-requested", "4"},
    {"portrait", "orientation-requested", "3"},
    {"PageSize", "media", ""},
};

}  // namespace

const OptionTable<JobSettings>& PclOptionTable() {
  static const OptionTable<JobSettings> table{Rules(), kAliases, JobSettingsFields()};
  return table;
}

PageGeometry PclPageGeometry(const JobSettings& record) {
  const bool landscape = LeGet(record.dm.dmOrientation) == DMORIENT_LANDSCAPE;
  const int code = LeGet(record.dm.dmPaperSize);
  const int width = LeGet(record.dm.dmPaperWidth), length = LeGet(record.dm.dmPaperLength);
  if (IsCustomPaperCode(code) && width > 0 && length > 0) {
    // Custom sizes are tenths of a millimetre.
    return GeometryForSize(width / 10.0 * kUnitsPerMillimetre, length / 10.0 * kUnitsPerMillimetre, landscape);
  }
  const Media* media = FindMediaByCode(code);
  if (!media) media = FindMediaByName(UsesLetterPaper() ? "Letter" : "A4");
  return GeometryFor(*media, landscape);
}

}  // namespace k460::print
