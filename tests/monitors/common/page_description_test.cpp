#include "monitors/common/page_description.h"

#include <gtest/gtest.h>

#include "monitors/common/page_codes.h"
#include "tests/monitors/common/page_stream_support.h"

namespace k460::pagestream {
namespace {

using testing::EncodeRecord;
using testing::FeedInPieces;
using testing::MakePage;
using testing::RecordingConsumer;

PageRecord ReadOne(const testing::TestPage& page, RecordForm form) {
  PageStreamReader reader(form);
  RecordingConsumer consumer;
  FeedInPieces(reader, EncodeRecord(page, form), consumer, 1000);
  EXPECT_EQ(consumer.pages.size(), 1u) << DescribeFailure(reader.failure());
  return consumer.pages.empty() ? PageRecord{} : consumer.pages[0].record;
}

TEST(PageDescriptionTest, NamesCodesByKeywordAndKeepsThePasswordOut) {
  auto page = MakePage(PI_DEVID_FAX2, 64, 2);
  page.header.Paper = 18;
  page.header.MultPagePrint = kMultPageBooklet;
  page.header.FaxAuto = 1;
  page.header.FaxItem = 4;
  std::copy_n("12:\"Ta\nro\"", 11, page.header.FaxUserName);
  std::copy_n("secret", 6, page.header.FaxPassword);

  EXPECT_EQ(DescribePage(ReadOne(page, RecordForm::kFull)),
            "page 1: DevId=4(fax2) form=full DriverName=\"Velkaro Ar+Vento2 K-410/460\" BmpRotate=0 dmLogPixels=600 "
            "iBmpHdr=64x2/8 Length=78 Resolution=600 Width=64 Height=2 Coding=MH CopyNum=1 Paper=GOVERMENTLEGAL "
            "Orient=PORTRAIT Casset=AUTOSELECT Collated=0 Priority=0 Outbin=LOWER PaperType=PLAIN TonerSaving=OFF "
            "OutputOder=NORMAL Stack=OFF Duplex=OFF DuplexBinding=LONGEDGE MultPagePrint=booklet(9) "
            "MultPageBorder=NONE MultPageOrder=HORIZONTAL MultPageView=AUTO Zoom=0 ZoomOutputPaper=0 ZoomNumber=0 "
            "Angle=0 Punch=OFF PunchHoles=HOLES2 Staple=OFF StaplePoint=UPPERLEFT SecurityPrint=OFF "
            "FaxUserName=\"12:\\x22Ta\\x0aro\\x22\" FaxPassword=(set) FaxAuto=1 FaxItem=tmp FaxTxDocList=0");

  const std::string shortLine = DescribePage(ReadOne(page, RecordForm::kShort));
  EXPECT_NE(shortLine.find("form=short"), std::string::npos);
  EXPECT_EQ(shortLine.find("Fax"), std::string::npos) << "a short record has no fax fields";
  EXPECT_EQ(shortLine.find("secret"), std::string::npos);
}

}  // namespace
}  // namespace k460::pagestream
