#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

// Content for the clipboard whose flavours are named at once and made when
// first read: on X11 a paster asks the clipboard's owner for them, so the
// clipboard can change owner before the bytes exist. Each flavour is held
// as bytes, text/plain in UTF-8 as pasters take it, not as a QString that
// each paste would convert again.
class DeferredContent : public QMimeData {
public:
    using Maker = std::function<QByteArray()>;

    void AddFlavour(const QString &type, Maker make);
    // Makes each flavour not made yet, in the order they were added; passes
    // on what a maker throws.
    void MakeAll();

    QStringList formats() const override;
    bool hasFormat(const QString &type) const override;

protected:
    QVariant retrieveData(const QString &type, QMetaType preferred) const override;

private:
    struct Flavour {
        QString type;
        Maker make;
        QByteArray bytes;
    };
    void Make(Flavour &flavour) const;

    mutable std::vector<Flavour> flavours_;
};

// Replaces whatever the clipboard holds with content: the clipboard changes
// owner, then every flavour is made, before this returns; no maker is called
// afterwards, so that a maker may refer to what its caller holds. When a
// maker throws, the clipboard is cleared and the error passed on. Throws
// RuntimeError 521 when there is no clipboard.
void ReplaceClipboardContent(std::unique_ptr<DeferredContent> content);

// Replaces whatever the clipboard holds with the text.
void ReplaceClipboardText(const QString &text);

// The markup as a fragment that a rich editor reads as HTML in UTF-8; markup
// is taken over, and grows in place where it has room.
QByteArray HtmlFragment(QByteArray markup);
