#include "clipboardcontent.h"

#include "runtimeerror.h"

#include <QClipboard>
#include <QGuiApplication>

#include <algorithm>
#include <utility>

void DeferredContent::AddFlavour(const QString &type, Maker make)
{
    flavours_.push_back({type, std::move(make), {}});
}

void DeferredContent::Make(Flavour &flavour) const
{
    if (!flavour.make)
        return;
    flavour.bytes = flavour.make();
    flavour.make = nullptr;
}

void DeferredContent::MakeAll()
{
    for (Flavour &flavour : flavours_)
        Make(flavour);
}

QStringList DeferredContent::formats() const
{
    QStringList types;
    for (const Flavour &flavour : flavours_)
        types.append(flavour.type);
    return types;
}

bool DeferredContent::hasFormat(const QString &type) const
{
    return std::ranges::any_of(flavours_, [&type](const Flavour &flavour) { return flavour.type == type; });
}

// A read that Qt makes for a paster cannot report an error: a flavour that
// cannot be made is none.
QVariant DeferredContent::retrieveData(const QString &type, QMetaType) const
{
    const auto flavour =
        std::ranges::find_if(flavours_, [&type](const Flavour &candidate) { return candidate.type == type; });
    if (flavour == flavours_.end())
        return {};
    try {
        Make(*flavour);
    } catch (...) {
        return {};
    }
    return flavour->bytes;
}

void ReplaceClipboardContent(std::unique_ptr<DeferredContent> content)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!clipboard)
        throw RuntimeErrors::CantOpenClipboard();
    // The new content replaces every flavour of the old: no clear first,
    // which costs the X server three more round trips.
    DeferredContent *held = content.get();
    clipboard->setMimeData(content.release());
    try {
        held->MakeAll();
    } catch (...) {
        clipboard->clear();
        throw;
    }
}

void ReplaceClipboardText(const QString &text)
{
    auto content = std::make_unique<DeferredContent>();
    content->AddFlavour(QStringLiteral("text/plain"), [&text] { return text.toUtf8(); });
    ReplaceClipboardContent(std::move(content));
}

QByteArray HtmlFragment(QByteArray markup)
{
    return markup.prepend("<meta charset=\"utf-8\">");
}
