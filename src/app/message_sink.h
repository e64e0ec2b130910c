// Where the window's messages and questions go: message boxes for people,
// a recorder with scripted answers in tests. Every message and question of
// the program passes through here.
#pragma once

#include <QString>
#include <QStringList>

class QWidget;

namespace kestrane {

enum class MessageIcon { None, Information, Exclamation };

enum class SaveAnswer { Save, Discard, Cancel };

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // A modal box with one OK button, owned by and centred on parent; the
    // detail, if any, as a second paragraph below the text.
    virtual void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
                      const QString& detail = QString()) = 0;
    // A modal question with Save, Discard and Cancel; Escape and the close box are Cancel.
    virtual SaveAnswer askToSave(QWidget* parent, const QString& title, const QString& text) = 0;
    // A modal question with these buttons (the first the default); the
    // index of the one chosen. Escape and the close box choose the last;
    // Enter the default one.
    virtual int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
                       int defaultButton = 0) = 0;
};

class MessageBoxSink final : public MessageSink {
public:
    void show(QWidget* parent, const QString& title, const QString& text, MessageIcon icon,
              const QString& detail = QString()) override;
    SaveAnswer askToSave(QWidget* parent, const QString& title, const QString& text) override;
    int choose(QWidget* parent, const QString& title, const QString& text, const QStringList& buttons,
               int defaultButton = 0) override;
};

}  // namespace kestrane
