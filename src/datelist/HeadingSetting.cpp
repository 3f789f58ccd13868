#include "datelist/HeadingSetting.h"

#include "platform/DiaryValue.h"

namespace {

const QString valuePrefix = QStringLiteral("DateHeading");

} // namespace

QString loadHeadingSample(KeyStore& store, const QString& diaryPath)
{
    return readDiaryValue(store, valuePrefix, diaryPath).value(u"sample").toString();
}

bool saveHeadingSample(KeyStore& store, const QString& diaryPath, const QString& sample)
{
    return writeDiaryValue(store, valuePrefix, diaryPath, {{QStringLiteral("sample"), sample}});
}
