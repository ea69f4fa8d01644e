#include "clipboardcontent.h"

#include "runtimeerror.h"

#include <QClipboard>
#include <QDataStream>
#include <QGuiApplication>
#include <QIODevice>
#include <QList>
#include <QMimeData>
#include <QStringList>

#include <utility>

namespace {

// Marks the content as Huespin's own, so that other input is refused.
constexpr QByteArrayView Header = "huespin clipboard 1\n";
constexpr QDataStream::Version StreamVersion = QDataStream::Qt_6_4;

} // namespace

QByteArray PackClipboardContent(const QMimeData &content)
{
    QByteArray packed(Header.data(), Header.size());
    QDataStream stream(&packed, QIODevice::WriteOnly | QIODevice::Append);
    stream.setVersion(StreamVersion);
    const QStringList types = content.formats();
    stream << quint32(types.size());
    for (const QString &type : types)
        stream << type << content.data(type);
    return packed;
}

bool UnpackClipboardContent(const QByteArray &packed, QMimeData &content)
{
    if (!packed.startsWith(Header))
        return false;
    QDataStream stream(packed.sliced(Header.size()));
    stream.setVersion(StreamVersion);
    quint32 count = 0;
    stream >> count;
    // The count is not trusted for a reservation: a short input ends the loop.
    QList<std::pair<QString, QByteArray>> flavours;
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QString type;
        QByteArray data;
        stream >> type >> data;
        flavours.append({type, data});
    }
    if (stream.status() != QDataStream::Ok || !stream.atEnd() || flavours.isEmpty())
        return false;
    for (const auto &[type, data] : flavours)
        if (type.isEmpty())
            return false;
    for (const auto &[type, data] : flavours)
        content.setData(type, data);
    return true;
}

void ReplaceClipboardText(const QString &text)
{
    ReplaceClipboardContent(text, {});
}

void ReplaceClipboardContent(const QString &text, const QByteArray &html)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw RuntimeErrors::CantOpenClipboard();
    clipboard->clear();
    auto *content = new QMimeData;
    content->setText(text);
    if (!html.isEmpty())
        content->setData(QStringLiteral("text/html"), html);
    clipboard->setMimeData(content);
}

QByteArray HtmlFragment(const QByteArray &markup)
{
    return "<meta charset=\"utf-8\">" + markup;
}
