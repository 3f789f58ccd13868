#include "settings/EditorChoices.h"

#include "platform/KeyStore.h"

bool readHtmlColoring(KeyStore& store)
{
    if (!store.open())
        return true;
    const KeyStore::Value value = store.read(htmlColoringName);
    store.close();
    return !(value.status == KeyStore::Status::Text && value.text == u"0");
}

QString htmlColoringText(bool on)
{
    return on ? QStringLiteral("1") : QStringLiteral("0");
}
