#include "preview/PreviewSwitches.h"

#include "platform/DiaryValue.h"

namespace {

const QString valuePrefix = QStringLiteral("Preview");

} // namespace

PreviewSwitches loadPreviewSwitches(KeyStore& store, const QString& diaryPath)
{
    const QJsonObject fields = readDiaryValue(store, valuePrefix, diaryPath);
    return {fields.value(u"scripts").toBool(), fields.value(u"remote").toBool()};
}

bool savePreviewSwitches(KeyStore& store, const QString& diaryPath, const PreviewSwitches& switches)
{
    return writeDiaryValue(store, valuePrefix, diaryPath,
                           {{QStringLiteral("scripts"), switches.runScripts},
                            {QStringLiteral("remote"), switches.loadRemote}});
}
