#pragma once

#include <QString>

// The twelve HTML fragments an entry is rendered with, and the five rendering switches.
struct HtmlSettings {
    QString HtmlDate1;
    QString HtmlDate2;
    QString HtmlSky1;
    QString HtmlSky2;
    QString HtmlSky3;
    QString HtmlSky5;
    QString HtmlSky6;
    QString HtmlSky4;
    QString HtmlTitle1;
    QString HtmlTitle2;
    QString HtmlMain1;
    QString HtmlMain2;
    // One character per switch, "0" meaning the first choice or on; at most five characters,
    // positions past the end count as empty.
    QString HtmlSetFlags = QStringLiteral("00011");
};
