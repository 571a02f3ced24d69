#include "platform/engine/font_catalog.h"

#include <filesystem>
#include <map>
#include <mutex>

#include "platform/base/text.h"

namespace k460::engine {
namespace {

// File names of a family: regular, bold, italic, bold italic (empty: use the regular one).
struct Family {
  const char16_t* names[3];  // face names of the family (null-terminated list)
  const char* files[4];
};

constexpr Family kFamilies[] = {
    {{u"Arial", u"Liberation Sans", u"Helvetica"},
     {"LiberationSans-Regular.ttf", "LiberationSans-Bold.ttf", "LiberationSans-Italic.ttf",
      "LiberationSans-BoldItalic.ttf"}},
    {{u"Times New Roman", u"Liberation Serif", nullptr},
     {"LiberationSerif-Regular.ttf", "LiberationSerif-Bold.ttf", "LiberationSerif-Italic.ttf",
      "LiberationSerif-BoldItalic.ttf"}},
    {{u"Courier New", u"Liberation Mono", nullptr},
     {"LiberationMono-Regular.ttf", "LiberationMono-Bold.ttf", "LiberationMono-Italic.ttf",
      "LiberationMono-BoldItalic.ttf"}},
    {{u"Arial Narrow", u"Liberation Sans Narrow", nullptr},
     {"LiberationSansNarrow-Regular.ttf", "LiberationSansNarrow-Bold.ttf", "LiberationSansNarrow-Italic.ttf",
      "LiberationSansNarrow-BoldItalic.ttf"}},
    {{u"DejaVu Sans", nullptr, nullptr},
     {"DejaVuSans.ttf", "DejaVuSans-Bold.ttf", "DejaVuSans-Oblique.ttf", "DejaVuSans-BoldOblique.ttf"}},
    {{u"DejaVu Serif", nullptr, nullptr},
     {"DejaVuSerif.ttf", "DejaVuSerif-Bold.ttf", "DejaVuSerif-Italic.ttf", "DejaVuSerif-BoldItalic.ttf"}},
    {{u"DejaVu Sans Mono", nullptr, nullptr},
     {"DejaVuSansMono.ttf", "DejaVuSansMono-Bold.ttf", "DejaVuSansMono-Oblique.ttf",
      "DejaVuSansMono-BoldOblique.ttf"}},
    // The Japanese faces and their names in Japanese.
    {{u"MS Mincho", u"\uFF2D\uFF33 \u660E\u671D", u"IPAMincho"}, {"ipam.ttf", "", "", ""}},
    {{u"MS PMincho", u"\uFF2D\uFF33 \uFF30\u660E\u671D", u"IPAPMincho"}, {"ipamp.ttf", "", "", ""}},
    {{u"MS Gothic", u"\uFF2D\uFF33 \u30B4\u30B7\u30C3\u30AF", u"IPAGothic"}, {"ipag.ttf", "", "", ""}},
    {{u"MS PGothic", u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", u"IPAPGothic"}, {"ipagp.ttf", "", "", ""}},
    // PostScript faces (OpenType outlines, not TrueType).
    {{u"Times", u"Nimbus Roman", u"Times-Roman"},
     {"NimbusRoman-Regular.otf", "NimbusRoman-Bold.otf", "NimbusRoman-Italic.otf", "NimbusRoman-BoldItalic.otf"}},
    {{u"Courier", u"Nimbus Mono PS", nullptr},
     {"NimbusMonoPS-Regular.otf", "NimbusMonoPS-Bold.otf", "NimbusMonoPS-Italic.otf",
      "NimbusMonoPS-BoldItalic.otf"}},
    {{u"Nimbus Sans", u"Helvetica-Narrow", nullptr},
     {"NimbusSans-Regular.otf", "NimbusSans-Bold.otf", "NimbusSans-Italic.otf", "NimbusSans-BoldItalic.otf"}},
    {{u"Palatino", u"Palatino-Roman", u"P052"}, {"P052-Roman.otf", "P052-Bold.otf", "P052-Italic.otf", "P052-BoldItalic.otf"}},
    {{u"Bookman", u"URW Bookman", nullptr},
     {"URWBookman-Light.otf", "URWBookman-Demi.otf", "URWBookman-LightItalic.otf", "URWBookman-DemiItalic.otf"}},
    {{u"AvantGarde", u"URW Gothic", nullptr},
     {"URWGothic-Book.otf", "URWGothic-Demi.otf", "URWGothic-BookOblique.otf", "URWGothic-DemiOblique.otf"}},
    {{u"NewCenturySchlbk", u"C059", nullptr}, {"C059-Roman.otf", "C059-Bold.otf", "C059-Italic.otf", "C059-BdIta.otf"}},
    {{u"ZapfChancery", u"Z003", nullptr}, {"Z003-MediumItalic.otf", "", "", ""}},
    {{u"Symbol", u"Standard Symbols PS", nullptr}, {"StandardSymbolsPS.otf", "", "", ""}},
    {{u"ZapfDingbats", u"D050000L", nullptr}, {"D050000L.otf", "", "", ""}},
};

// File name → host path of every font under the system's font folder.
const std::map<std::string, std::string>& InstalledFiles() {
  static std::once_flag once;
  static std::map<std::string, std::string>* files = new std::map<std::string, std::string>;
  std::call_once(once, [] {
    std::error_code ec;
    for (const char* root : {"/usr/share/fonts", "/usr/local/share/fonts"}) {
      for (std::filesystem::recursive_directory_iterator it(root, ec), end; !ec && it != end; it.increment(ec)) {
        if (it->is_regular_file(ec)) files->emplace(it->path().filename().string(), it->path().string());
      }
      ec.clear();
    }
  });
  return *files;
}

}  // namespace

std::optional<FontChoice> FindFontFile(std::u16string_view face, bool bold, bool italic) {
  FontChoice choice;
  if (!face.empty() && face.front() == u'@') {
    choice.vertical = true;
    face.remove_prefix(1);
  }
  choice.face.assign(face);
  for (const Family& family : kFamilies) {
    bool named = false;
    for (const char16_t* name : family.names) named |= name && EqualsNoCase(face, name);
    if (!named) continue;
    // The style asked for, else the nearest one the family has.
    int wanted = (bold ? 1 : 0) + (italic ? 2 : 0);
    int order[4][4] = {{0, 1, 2, 3}, {1, 0, 3, 2}, {2, 0, 3, 1}, {3, 1, 2, 0}};
    for (int style : order[wanted]) {
      const char* file = family.files[style];
      if (!*file) continue;
      auto it = InstalledFiles().find(file);
      if (it == InstalledFiles().end()) continue;
      choice.path = it->second;
      choice.bold = style & 1;
      choice.italic = style & 2;
      return choice;
    }
    return std::nullopt;  // the family's files are not installed
  }
  return std::nullopt;
}

}  // namespace k460::engine
