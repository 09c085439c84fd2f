#include "render/CellText.h"

#include <QDate>
#include <QDateTime>
#include <QRegularExpression>
#include <QLocale>
#include <QStringList>
#include <cmath>

namespace render {

namespace {

// Splits at ';' outside quotes.
QStringList Sections(const QString& f) {
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < f.size(); ++i) {
        const QChar ch = f[i];
        if (ch == '"') quoted = !quoted;
        if (ch == '\\' && i + 1 < f.size()) {
            cur += ch;
            cur += f[++i];
            continue;
        }
        if (ch == ';' && !quoted) {
            out << cur;
            cur.clear();
            continue;
        }
        cur += ch;
    }
    out << cur;
    return out;
}

// Drops "[Red]", "[$-804]" and the like; keeps "[h]"-style elapsed times out of scope.
QString WithoutBrackets(const QString& s) {
    QString out;
    bool quoted = false;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == '"') quoted = !quoted;
        if (!quoted && s[i] == '[') {
            const int end = s.indexOf(']', i);
            if (end > i) {
                i = end;
                continue;
            }
        }
        out += s[i];
    }
    return out;
}

// The characters outside quotes and escapes, for detecting the kind of format.
QString Unquoted(const QString& s) {
    QString out;
    bool quoted = false;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == '"') {
            quoted = !quoted;
            continue;
        }
        if (s[i] == '\\') {
            ++i;
            continue;
        }
        if (!quoted) out += s[i];
    }
    return out;
}

// The section as shown for text: quotes and escapes removed, quoted text kept.
QString TextSection(const QString& s, const QString& text) {
    QString out;
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == '"') continue;
        if (s[i] == '\\' && i + 1 < s.size()) out += s[++i];
        else if (s[i] == '@') out += text;
        else out += s[i];
    }
    return out;
}

bool HasDateTokens(const QString& section) {
    const QString u = Unquoted(WithoutBrackets(section)).toLower();
    for (QChar ch : u)
        if (ch == 'y' || ch == 'm' || ch == 'd' || ch == 'h' || ch == 's' || ch == 'a') return true;
    return false;
}

// Serial day numbers count from 1900-01-01 = 1 and include the host's
// 29 February 1900 (serial 60), which never existed.
QDateTime FromSerial(double serial, bool date1904) {
    double days = std::floor(serial);
    qint64 secs = qint64(std::llround((serial - days) * 86400.0));
    if (secs >= 86400) {
        days += 1;
        secs -= 86400;
    }
    QDate base = date1904 ? QDate(1904, 1, 1) : (days >= 61 ? QDate(1899, 12, 30) : QDate(1899, 12, 31));
    return QDateTime(base.addDays(qint64(days)), QTime(0, 0).addSecs(int(secs)));
}

QString Pad(int v, int width) { return QString::number(v).rightJustified(width, '0'); }

QString FormatDate(double serial, const QString& section, bool date1904) {
    const QDateTime dt = FromSerial(serial, date1904);
    const QString f = WithoutBrackets(section);
    bool hasAmPm = f.contains("AM/PM", Qt::CaseInsensitive);
    QString out;
    bool lastWasHour = false;
    for (int i = 0; i < f.size();) {
        const QChar ch = f[i];
        if (ch == '"') {
            const int end = f.indexOf('"', i + 1);
            out += f.mid(i + 1, (end < 0 ? f.size() : end) - i - 1);
            i = end < 0 ? f.size() : end + 1;
            continue;
        }
        if (ch == '\\' && i + 1 < f.size()) {
            out += f[i + 1];
            i += 2;
            continue;
        }
        if (f.mid(i, 5).compare("AM/PM", Qt::CaseInsensitive) == 0) {
            out += dt.time().hour() < 12 ? "上午" : "下午";
            i += 5;
            continue;
        }
        int n = 1;
        const QChar lower = ch.toLower();
        while (i + n < f.size() && f[i + n].toLower() == lower) ++n;
        if (lower == 'y') {
            out += n <= 2 ? Pad(dt.date().year() % 100, 2) : QString::number(dt.date().year());
        } else if (lower == 'm') {
            // Minutes right after an hour or right before seconds.
            int k = i + n;
            while (k < f.size() && !f[k].isLetter()) ++k;
            const bool minutes = n <= 2 && (lastWasHour || (k < f.size() && f[k].toLower() == 's'));
            if (minutes) out += Pad(dt.time().minute(), n);
            else if (n <= 2) out += Pad(dt.date().month(), n);
            else out += QLocale(QLocale::Chinese, QLocale::China).monthName(dt.date().month(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (lower == 'd') {
            if (n <= 2) out += Pad(dt.date().day(), n);
            else out += QLocale(QLocale::English).dayName(dt.date().dayOfWeek(), n == 3 ? QLocale::ShortFormat : QLocale::LongFormat);
        } else if (lower == 'a' && n >= 3) {
            static const char* days[] = {"一", "二", "三", "四", "五", "六", "日"};
            out += (n == 3 ? QString() : QString("星期")) + QString::fromUtf8(days[dt.date().dayOfWeek() - 1]);
        } else if (lower == 'h') {
            int h = dt.time().hour();
            if (hasAmPm) h = h % 12 == 0 ? 12 : h % 12;
            out += Pad(h, std::min(n, 2));
        } else if (lower == 's') {
            out += Pad(dt.time().second(), std::min(n, 2));
        } else {
            out += QString(n, ch);
        }
        if (lower.isLetter()) lastWasHour = lower == 'h';
        i += n;
    }
    return out;
}

QString FormatNumber(double v, const QString& section, bool negativeSection) {
    const QString f = WithoutBrackets(section);
    QString prefix, suffix;
    QString pattern;
    bool inPattern = false, afterPattern = false;
    for (int i = 0; i < f.size(); ++i) {
        const QChar ch = f[i];
        QString literal;
        if (ch == '"') {
            const int end = f.indexOf('"', i + 1);
            literal = f.mid(i + 1, (end < 0 ? f.size() : end) - i - 1);
            i = end < 0 ? f.size() : end;
        } else if (ch == '\\' && i + 1 < f.size()) {
            literal = f[++i];
        } else if (ch == '_' && i + 1 < f.size()) {
            ++i;
            literal = " ";
        } else if (ch == '*') {
            ++i;
            continue;
        } else if (!afterPattern && (ch == '0' || ch == '#' || ch == '?' || (inPattern && (ch == ',' || ch == '.')) ||
                                     (ch == '.' && i + 1 < f.size() && (f[i + 1] == '0' || f[i + 1] == '#')))) {
            pattern += ch;
            inPattern = true;
            continue;
        } else {
            literal = ch;
        }
        if (inPattern) afterPattern = true;
        (afterPattern ? suffix : prefix) += literal;
    }
    if (pattern.isEmpty()) return prefix + suffix;
    if (f.contains('%')) v *= 100;
    const int dot = pattern.indexOf('.');
    const int decimals = dot < 0 ? 0 : int(pattern.size() - dot - 1 - pattern.mid(dot + 1).count(','));
    const bool thousands = pattern.left(dot < 0 ? pattern.size() : dot).contains(',');
    // The host rounds half away from zero on the value's 15 significant digits.
    auto significant15 = [](double x) { return QString::number(x, 'g', 15).toDouble(); };
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(significant15(significant15(std::fabs(v)) * scale)) / scale;
    QString digits = QString::number(rounded, 'f', decimals);
    // "00" shows at least two integer digits; "#" none of its own.
    const QString integerPart = pattern.left(dot < 0 ? pattern.size() : dot);
    const int minDigits = int(integerPart.count('0'));
    const int point = digits.indexOf('.');
    const int intDigits = point < 0 ? int(digits.size()) : point;
    if (intDigits < minDigits) digits.prepend(QString(minDigits - intDigits, '0'));
    else if (minDigits == 0 && digits.startsWith("0")) digits.remove(0, 1);
    if (thousands) {
        const int point = digits.indexOf('.');
        int end = point < 0 ? int(digits.size()) : point;
        for (int k = end - 3; k > 0; k -= 3) digits.insert(k, ',');
    }
    const bool minus = v < 0 && !negativeSection && digits.contains(QRegularExpression("[1-9]"));
    return (minus ? "-" : "") + prefix + digits + suffix;
}

}  // namespace

bool IsDateFormat(const std::string& numberFormat) {
    const QString f = QString::fromStdString(numberFormat);
    if (f.compare("General", Qt::CaseInsensitive) == 0 || f == "@") return false;
    return HasDateTokens(Sections(f).front());
}

QString CellText(const host::Variant& value, const std::string& numberFormat, bool date1904) {
    const QString format = QString::fromStdString(numberFormat);
    if (!value.IsNumber() || format.isEmpty() || format.compare("General", Qt::CaseInsensitive) == 0 || format == "@") {
        if (value.IsText() && format.contains('@') && format != "@") {
            const QStringList s = Sections(format);
            const QString textSection = s.size() >= 4 ? s[3] : s.front();
            return TextSection(WithoutBrackets(textSection), QString::fromStdString(value.Text()));
        }
        return QString::fromStdString(host::ToText(value));
    }
    const double v = value.Number();
    const QStringList sections = Sections(format);
    QString section = sections.front();
    bool negativeSection = false;
    if (v < 0 && sections.size() >= 2) {
        section = sections[1];
        negativeSection = true;
    } else if (v == 0 && sections.size() >= 3) {
        section = sections[2];
    }
    if (HasDateTokens(section)) {
        if (v < 0) return QString(8, '#');
        return FormatDate(v, section, date1904);
    }
    return FormatNumber(v, section, negativeSection);
}

QString ShownText(const host::Variant& value, const std::string& numberFormat, bool date1904) {
    return CellText(value, numberFormat, date1904).remove('\t');
}

}  // namespace render
