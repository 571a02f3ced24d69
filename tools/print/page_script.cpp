#include "tools/print/page_script.h"

#include <charconv>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>

#include "platform/base/text.h"
#include "tools/print/file_kind.h"
#include "tools/print/image_reader.h"
#include "tools/print/media.h"
#include "tools/print/print_error.h"
#include "tools/print/script_lexer.h"
#include "tools/print/utf8_check.h"

namespace k460::print {
namespace {

struct UnitName {
  std::string_view name;
  double units;
};
constexpr UnitName kUnitNames[] = {{"pt", kUnitsPerPoint},
                                   {"mm", kUnitsPerMillimetre},
                                   {"cm", 10 * kUnitsPerMillimetre},
                                   {"in", kUnitsPerInch},
                                   {"dot", 1}};
constexpr std::string_view kUnitList = "pt, mm, cm, in, dot";

// Coordinates and lengths beyond this (about 400 metres) are typing errors.
constexpr double kLargestValue = 1e7;
// The engine's face names hold 31 characters.
constexpr std::size_t kLongestFace = 31;
constexpr std::size_t kMostDashes = 16;

struct NamedColor {
  std::string_view name;
  Color color;
};
constexpr NamedColor kColorNames[] = {{"black", Color::Black()},          {"white", Color::White()},
                                      {"gray", Color::Gray(128)},         {"red", Color::Rgb(255, 0, 0)},
                                      {"green", Color::Rgb(0, 128, 0)},   {"blue", Color::Rgb(0, 0, 255)},
                                      {"cyan", Color::Rgb(0, 255, 255)},  {"magenta", Color::Rgb(255, 0, 255)},
                                      {"yellow", Color::Rgb(255, 255, 0)}};

struct NamedPenStyle {
  std::string_view name;
  PenStyle style;
};
constexpr NamedPenStyle kPenStyles[] = {{"solid", PenStyle::Solid},
                                        {"dash", PenStyle::Dash},
                                        {"dot", PenStyle::Dot},
                                        {"dashdot", PenStyle::DashDot},
                                        {"dashdotdot", PenStyle::DashDotDot}};

struct NamedHatch {
  std::string_view name;
  HatchStyle hatch;
};
constexpr NamedHatch kHatches[] = {{"horizontal", HatchStyle::Horizontal},
                                   {"vertical", HatchStyle::Vertical},
                                   {"fdiagonal", HatchStyle::ForwardDiagonal},
                                   {"bdiagonal", HatchStyle::BackwardDiagonal},
                                   {"cross", HatchStyle::Cross},
                                   {"diagcross", HatchStyle::DiagonalCross}};

std::optional<double> ParseDouble(std::string_view text) {
  if (!text.empty() && text.front() == '+') text.remove_prefix(1);
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) return std::nullopt;
  return value;
}

std::optional<int> ParseByte(std::string_view text) {
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value < 0 || value > 255) return std::nullopt;
  return value;
}

std::optional<Color> ParseColor(std::string_view text) {
  for (const NamedColor& named : kColorNames)
    if (text == named.name) return named.color;
  if (text.starts_with("gray:")) {
    if (auto level = ParseByte(text.substr(5))) return Color::Gray(static_cast<std::uint8_t>(*level));
    return std::nullopt;
  }
  if (text.starts_with("rgb:")) {
    std::string_view rest = text.substr(4);
    int channel[3];
    for (int i = 0; i < 3; ++i) {
      const std::size_t comma = rest.find(',');
      if ((i < 2) != (comma != std::string_view::npos)) return std::nullopt;
      const auto value = ParseByte(rest.substr(0, comma));
      if (!value) return std::nullopt;
      channel[i] = *value;
      rest = i < 2 ? rest.substr(comma + 1) : std::string_view();
    }
    return Color::Rgb(static_cast<std::uint8_t>(channel[0]), static_cast<std::uint8_t>(channel[1]),
                      static_cast<std::uint8_t>(channel[2]));
  }
  return std::nullopt;
}

std::string Quote(std::string_view text) { return "'" + std::string(text) + "'"; }

// The words of one command line after the command word, read in order.
class Args {
 public:
  Args(std::string_view command, std::string_view usage, const std::vector<ScriptWord>& words, double unit)
      : command_(command), usage_(usage), words_(words), unit_(unit) {}

  bool AtEnd() const { return next_ >= words_.size(); }
  std::size_t Left() const { return words_.size() - next_; }
  const std::string& Peek() const { return words_[next_].text; }

  [[noreturn]] void Fail(const std::string& message) const { throw LineError(std::string(command_) + ": " + message); }
  [[noreturn]] void FailWithUsage(const std::string& message) const {
    Fail(message + "; usage: " + std::string(usage_));
  }

  const std::string& Word(const char* what) {
    if (AtEnd()) FailWithUsage(std::string("missing ") + what);
    return words_[next_++].text;
  }

  // A number, with a unit suffix or in the script's current unit.
  double Length(const char* what) {
    const std::string& text = Word(what);
    return ToLength(text, what);
  }

  double ToLength(std::string_view text, const char* what) const {
    std::size_t split = text.size();
    while (split > 0 && std::isalpha(static_cast<unsigned char>(text[split - 1]))) --split;
    const std::string_view number = text.substr(0, split), suffix = text.substr(split);
    double unit = unit_;
    if (!suffix.empty()) {
      const UnitName* found = nullptr;
      for (const UnitName& u : kUnitNames)
        if (suffix == u.name) found = &u;
      if (!found || number.empty()) {
        if (!ParseDouble(number)) Fail(Quote(text) + " is not a number (" + what + ")");
        Fail(Quote(text) + " has an unknown unit " + Quote(suffix) + " (units: " + std::string(kUnitList) + ")");
      }
      unit = found->units;
    }
    const auto value = ParseDouble(number);
    if (!value) Fail(Quote(text) + " is not a number (" + what + ")");
    const double units = *value * unit;
    if (std::fabs(units) > kLargestValue) Fail(Quote(text) + " is out of range (" + what + ")");
    return units;
  }

  double Positive(const char* what) {
    const double value = Length(what);
    if (value <= 0) Fail(std::string(what) + " must be more than 0");
    return value;
  }

  Point NextPoint() {
    const double x = Length("X");
    const double y = Length("Y");
    return {x, y};
  }

  // The rest of the line as points: an even count, at least `least` points.
  std::vector<Point> Points(std::size_t least) {
    if (Left() % 2 != 0) FailWithUsage("X and Y values come in pairs");
    if (Left() / 2 < least) FailWithUsage("needs at least " + std::to_string(least) + " points");
    std::vector<Point> points;
    while (!AtEnd()) points.push_back(NextPoint());
    return points;
  }

  Rect NextRect() {
    const double x = Length("X");
    const double y = Length("Y");
    const double w = Positive("WIDTH");
    const double h = Positive("HEIGHT");
    return Rect::FromSize(x, y, w, h);
  }

  Color NextColor() {
    const std::string& text = Word("COLOUR");
    const auto color = ParseColor(text);
    if (!color)
      Fail("unknown colour " + Quote(text) +
           " (black, white, gray, red, green, blue, cyan, magenta, yellow, gray:LEVEL, rgb:R,G,B)");
    return *color;
  }

  FillMode NextFillMode() {
    const std::string& text = Word("FILL-MODE");
    if (text == "alternate") return FillMode::Alternate;
    if (text == "winding") return FillMode::Winding;
    Fail("fill mode must be 'alternate' or 'winding', not " + Quote(text));
  }

  void End() const {
    if (!AtEnd()) FailWithUsage("unexpected " + Quote(words_[next_].text));
  }

  std::string_view Command() const { return command_; }

 private:
  std::string_view command_;
  std::string_view usage_;
  const std::vector<ScriptWord>& words_;
  double unit_;
  std::size_t next_ = 1;  // words_[0] is the command
};

class ScriptParser {
 public:
  ScriptParser(std::string name, std::filesystem::path baseDirectory)
      : name_(std::move(name)), base_(std::move(baseDirectory)) {
    document_.source = name_;
  }

  Document Parse(std::string_view text) {
    int lineNumber = 0;
    while (!text.empty()) {
      const std::size_t end = text.find('\n');
      const std::string_view line = text.substr(0, end);
      text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
      ++lineNumber;
      try {
        if (!IsValidUtf8(line)) throw LineError("the line is not valid UTF-8");
        const std::vector<ScriptWord> words = SplitScriptLine(line);
        if (!words.empty()) Dispatch(words);
      } catch (const LineError& error) {
        throw DocumentError(name_ + ":" + std::to_string(lineNumber) + ": " + error.what());
      }
    }
    if (document_.pages.empty()) throw DocumentError(name_ + ": nothing to print: the script draws no page");
    return std::move(document_);
  }

 private:
  using Handler = void (ScriptParser::*)(Args&);
  struct Command {
    std::string_view name;
    std::string_view usage;
    Handler handler;
  };

  static const std::vector<Command>& Commands() {
    static const std::vector<Command> commands = {
        {"unit", "unit pt|mm|cm|in|dot", &ScriptParser::Unit},
        {"page", "page [MEDIA | WIDTH HEIGHT] [portrait|landscape]", &ScriptParser::NewPage},
        {"pen", "pen WIDTH COLOUR [solid|dash|dot|dashdot|dashdotdot|dash=LENGTH,LENGTH...] | pen none",
         &ScriptParser::SetPen},
        {"brush", "brush none | brush solid COLOUR | brush hatch STYLE COLOUR | brush pattern HEX16 COLOUR",
         &ScriptParser::SetBrush},
        {"font", "font FACE SIZE [bold] [italic] [angle=DEGREES]", &ScriptParser::SetFont},
        {"textcolor", "textcolor COLOUR", &ScriptParser::SetTextColor},
        {"text", "text X Y TEXT", &ScriptParser::Text},
        {"line", "line X1 Y1 X2 Y2", &ScriptParser::Line},
        {"polyline", "polyline X Y X Y [X Y ...]", &ScriptParser::Polyline},
        {"bezier", "bezier X Y CX1 CY1 CX2 CY2 X Y [CX1 CY1 CX2 CY2 X Y ...]", &ScriptParser::Bezier},
        {"rect", "rect X Y WIDTH HEIGHT", &ScriptParser::Rectangle},
        {"polygon", "polygon alternate|winding X Y X Y X Y [X Y ...]", &ScriptParser::Polygon},
        {"image", "image FILE X Y WIDTH HEIGHT", &ScriptParser::Image},
        {"clip",
         "clip rect X Y WIDTH HEIGHT | clip path alternate|winding M X Y [L X Y | C X Y X Y X Y | Z]... | clip none",
         &ScriptParser::Clip},
    };
    return commands;
  }

  void Dispatch(const std::vector<ScriptWord>& words) {
    const std::string& name = words[0].text;
    for (const Command& command : Commands()) {
      if (command.name == name) {
        Args args(command.name, command.usage, words, unit_);
        (this->*command.handler)(args);
        return;
      }
    }
    throw LineError("unknown command " + Quote(name));
  }

  // ---- Pages and state ----
  Page& CurrentPage() {
    if (document_.pages.empty()) StartPage({});
    return document_.pages.back();
  }

  void StartPage(const PageSetup& setup) {
    Page& page = document_.pages.emplace_back();
    page.setup = setup;
    // Pen, brush, font and text colour carry over from page to page.
    if (pen_ != kDefaultPen) page.operations.push_back(PenOp{pen_});
    if (brush_ != kDefaultBrush) page.operations.push_back(BrushOp{brush_});
    if (font_ != kDefaultFont) page.operations.push_back(FontOp{font_});
    if (textColor_ != kDefaultTextColor) page.operations.push_back(TextColorOp{textColor_});
  }

  // State set before the first page waits for it; afterwards it goes on the page.
  void AddState(Operation operation) {
    if (!document_.pages.empty()) document_.pages.back().operations.push_back(std::move(operation));
  }

  void Add(Operation operation) { CurrentPage().operations.push_back(std::move(operation)); }

  void Unit(Args& args) {
    const std::string& name = args.Word("UNIT");
    args.End();
    for (const UnitName& unit : kUnitNames) {
      if (name == unit.name) {
        unit_ = unit.units;
        return;
      }
    }
    args.Fail("unknown unit " + Quote(name) + " (units: " + std::string(kUnitList) + ")");
  }

  void NewPage(Args& args) {
    PageSetup setup;
    std::optional<Size> size;
    while (!args.AtEnd()) {
      const std::string word = args.Peek();
      if (word == "portrait" || word == "landscape") {
        if (setup.orientation != Orientation::Unspecified) args.FailWithUsage("orientation given twice");
        setup.orientation = word == "portrait" ? Orientation::Portrait : Orientation::Landscape;
        args.Word("ORIENTATION");
      } else if (const Media* media = FindMediaByName(word)) {
        if (size || !setup.mediaName.empty()) args.FailWithUsage("page size given twice");
        setup.mediaName = std::string(media->name);
        size = Size{static_cast<double>(media->physicalWidth), static_cast<double>(media->physicalLength)};
        args.Word("MEDIA");
      } else if (std::isdigit(static_cast<unsigned char>(word[0])) || word[0] == '.' || word[0] == '+') {
        if (size || !setup.mediaName.empty()) args.FailWithUsage("page size given twice");
        const double width = args.Positive("WIDTH");
        const double height = args.Positive("HEIGHT");
        size = Size{width, height};
      } else {
        std::string names;
        for (const Media& media : MediaTable()) names += (names.empty() ? "" : ", ") + std::string(media.name);
        args.Fail("unknown paper " + Quote(word) + " (papers: " + names + "; or WIDTH HEIGHT)");
      }
    }
    if (size) {
      const bool named = !setup.mediaName.empty();
      if (named && setup.orientation == Orientation::Landscape) std::swap(size->width, size->height);
      if (!named && setup.orientation == Orientation::Unspecified)
        setup.orientation = size->width > size->height ? Orientation::Landscape : Orientation::Portrait;
      setup.size = size;
    }
    StartPage(setup);
  }

  void SetPen(Args& args) {
    Pen pen;
    if (!args.AtEnd() && args.Peek() == "none") {
      args.Word("none");
      args.End();
      pen.style = PenStyle::None;
    } else {
      pen.width = args.Length("WIDTH");
      if (pen.width < 0) args.Fail("WIDTH must not be negative");
      pen.color = args.NextColor();
      if (!args.AtEnd()) pen.style = ParsePenStyle(args, args.Word("STYLE"), pen.dashes);
      args.End();
    }
    pen_ = pen;
    AddState(PenOp{pen});
  }

  static PenStyle ParsePenStyle(Args& args, std::string_view text, std::vector<double>& dashes) {
    for (const NamedPenStyle& named : kPenStyles)
      if (text == named.name) return named.style;
    if (!text.starts_with("dash=")) {
      args.Fail("unknown pen style " + Quote(text) + " (solid, dash, dot, dashdot, dashdotdot, dash=LENGTH,LENGTH...)");
    }
    std::string_view rest = text.substr(5);
    while (true) {
      const std::size_t comma = rest.find(',');
      const double length = args.ToLength(rest.substr(0, comma), "dash length");
      if (length <= 0) args.Fail("dash lengths must be more than 0");
      dashes.push_back(length);
      if (dashes.size() > kMostDashes) args.Fail("at most " + std::to_string(kMostDashes) + " dash lengths");
      if (comma == std::string_view::npos) break;
      rest = rest.substr(comma + 1);
    }
    return PenStyle::Custom;
  }

  void SetBrush(Args& args) {
    Brush brush;
    const std::string kind = args.Word("KIND");
    if (kind == "none") {
      brush.kind = BrushKind::None;
    } else if (kind == "solid") {
      brush.kind = BrushKind::Solid;
      brush.color = args.NextColor();
    } else if (kind == "hatch") {
      brush.kind = BrushKind::Hatch;
      const std::string style = args.Word("STYLE");
      const NamedHatch* found = nullptr;
      for (const NamedHatch& named : kHatches)
        if (style == named.name) found = &named;
      if (!found)
        args.Fail("unknown hatch style " + Quote(style) +
                  " (horizontal, vertical, fdiagonal, bdiagonal, cross, diagcross)");
      brush.hatch = found->hatch;
      brush.color = args.NextColor();
    } else if (kind == "pattern") {
      brush.kind = BrushKind::Pattern;
      const std::string hex = args.Word("HEX16");
      if (hex.size() != 16) args.Fail("a pattern is 16 hexadecimal digits (8 rows of 8 pixels), not " + Quote(hex));
      for (std::size_t row = 0; row < 8; ++row) {
        unsigned value = 0;
        const auto [end, error] = std::from_chars(hex.data() + 2 * row, hex.data() + 2 * row + 2, value, 16);
        if (error != std::errc() || end != hex.data() + 2 * row + 2)
          args.Fail("a pattern is 16 hexadecimal digits (8 rows of 8 pixels), not " + Quote(hex));
        brush.pattern[row] = static_cast<std::uint8_t>(value);
      }
      brush.color = args.NextColor();
    } else {
      args.FailWithUsage("unknown brush " + Quote(kind));
    }
    args.End();
    brush_ = brush;
    AddState(BrushOp{brush});
  }

  void SetFont(Args& args) {
    Font font;
    font.face = args.Word("FACE");
    if (font.face.empty()) args.Fail("the face name is empty");
    if (Utf8ToUtf16(font.face).size() > kLongestFace)
      args.Fail("face name " + Quote(font.face) + " is longer than " + std::to_string(kLongestFace) + " characters");
    font.size = args.Positive("SIZE");
    while (!args.AtEnd()) {
      const std::string word = args.Word("STYLE");
      if (word == "bold") {
        font.bold = true;
      } else if (word == "italic") {
        font.italic = true;
      } else if (word.starts_with("angle=")) {
        const auto angle = ParseDouble(std::string_view(word).substr(6));
        if (!angle || *angle < -360 || *angle > 360) args.Fail("angle must be a number of degrees within -360..360");
        font.angle = *angle;
      } else {
        args.FailWithUsage("unexpected " + Quote(word));
      }
    }
    font_ = font;
    AddState(FontOp{font});
  }

  void SetTextColor(Args& args) {
    textColor_ = args.NextColor();
    args.End();
    AddState(TextColorOp{textColor_});
  }

  // ---- Drawing ----
  void Text(Args& args) {
    const Point origin = args.NextPoint();
    const std::string& text = args.Word("TEXT");
    if (!args.AtEnd()) args.Fail("unexpected " + Quote(args.Peek()) + "; put a text that holds blanks in quotes");
    Add(TextOp{origin, Utf8ToUtf16(text)});
  }

  void Line(Args& args) {
    const Point from = args.NextPoint();
    const Point to = args.NextPoint();
    args.End();
    Add(LineOp{from, to});
  }

  void Polyline(Args& args) { Add(PolylineOp{args.Points(2)}); }

  void Bezier(Args& args) {
    std::vector<Point> points = args.Points(4);
    if ((points.size() - 1) % 3 != 0)
      args.FailWithUsage("needs a start point and three points (two controls and an end) for each curve");
    Add(BezierOp{std::move(points)});
  }

  void Rectangle(Args& args) {
    const Rect rect = args.NextRect();
    args.End();
    Add(RectangleOp{rect});
  }

  void Polygon(Args& args) {
    const FillMode mode = args.NextFillMode();
    Add(PolygonOp{args.Points(3), mode});
  }

  void Image(Args& args) {
    const std::string file = args.Word("FILE");
    const Rect dest = args.NextRect();
    args.End();
    const std::filesystem::path path = base_ / file;
    std::shared_ptr<const Raster>& raster = images_[path.string()];
    if (!raster) {
      try {
        raster = ReadImageFile(path.string());
      } catch (const DocumentError& error) {
        images_.erase(path.string());
        args.Fail(error.what());
      }
    }
    Add(ImageOp{raster, dest});
  }

  void Clip(Args& args) {
    const std::string kind = args.Word("KIND");
    if (kind == "none") {
      args.End();
      Add(ResetClipOp{});
    } else if (kind == "rect") {
      const Rect rect = args.NextRect();
      args.End();
      Add(ClipRectOp{rect});
    } else if (kind == "path") {
      const FillMode mode = args.NextFillMode();
      Add(ClipPathOp{ParsePath(args), mode});
    } else {
      args.FailWithUsage("unknown clip " + Quote(kind));
    }
  }

  static Path ParsePath(Args& args) {
    Path path;
    bool open = false;  // a current point exists
    while (!args.AtEnd()) {
      const std::string verb = args.Word("M, L, C or Z");
      PathSegment segment;
      if (verb == "M") {
        segment.kind = PathSegment::Kind::MoveTo;
        segment.points[0] = args.NextPoint();
        open = true;
      } else if (verb == "L" || verb == "C") {
        if (!open) args.Fail(Quote(verb) + " needs a current point; start the figure with M X Y");
        if (verb == "L") {
          segment.kind = PathSegment::Kind::LineTo;
          segment.points[0] = args.NextPoint();
        } else {
          segment.kind = PathSegment::Kind::BezierTo;
          for (Point& point : segment.points) point = args.NextPoint();
        }
      } else if (verb == "Z") {
        if (!open) args.Fail("'Z' needs an open figure");
        segment.kind = PathSegment::Kind::Close;
        open = false;
      } else {
        args.Fail("unknown path step " + Quote(verb) + " (M X Y, L X Y, C X1 Y1 X2 Y2 X Y, Z)");
      }
      path.push_back(segment);
    }
    if (path.empty()) args.FailWithUsage("the path is empty");
    return path;
  }

  std::string name_;
  std::filesystem::path base_;
  Document document_;
  double unit_ = kUnitsPerPoint;
  Pen pen_;
  Brush brush_;
  Font font_;
  Color textColor_ = kDefaultTextColor;
  std::map<std::string, std::shared_ptr<const Raster>> images_;
};

}  // namespace

Document ParsePageScript(std::string_view text, const std::string& name, const std::string& baseDirectory) {
  return ScriptParser(name, baseDirectory).Parse(text);
}

Document ReadPageScript(const std::string& path) {
  const std::vector<std::uint8_t> bytes = ReadFileBytes(path);
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return ParsePageScript(text, path, std::filesystem::path(path).parent_path().string());
}

}  // namespace k460::print
