#pragma once
// A scripted Dialogs for tests: installs itself while it lives, records every call, answers
// from a queue of expected dialogs, and fails the test on a dialog nobody expected (or one
// of another kind than the next expected). Answers left unused at the end fail the test too.
#include "dialogs.h"

#include <QDialog>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <vector>

class ScriptedDialogs : public Dialogs {
public:
    enum class Kind {
        Message, Information, Confirm, Error, OpenFile, SaveFile, OpenPicture,
        PreviewReport, PrintChart, OpenWithDesktop, ExecModal
    };
    struct Call {
        Kind kind;
        QString text;        // message text, desktop target, or the window's object name
        FileDialogSpec opts; // file dialogs
    };

    ScriptedDialogs() { Dialogs::install(this); }
    ~ScriptedDialogs() override
    {
        Dialogs::install(nullptr);
        for (const Answer &a : queue_)
            ADD_FAILURE() << "expected dialog never shown: " << name(a.kind);
    }
    ScriptedDialogs(const ScriptedDialogs &) = delete;
    ScriptedDialogs &operator=(const ScriptedDialogs &) = delete;

    // Expectations, answered in the order given.
    ScriptedDialogs &expectMessage() { return push(Kind::Message); }
    ScriptedDialogs &expectInformation(bool ok) { return push(Kind::Information, ok); }
    ScriptedDialogs &expectConfirm(bool yes) { return push(Kind::Confirm, yes); }
    ScriptedDialogs &expectError() { return push(Kind::Error); }
    ScriptedDialogs &expectOpenFile(const QString &path) { return push(Kind::OpenFile, true, path); }
    ScriptedDialogs &expectSaveFile(const QString &path) { return push(Kind::SaveFile, true, path); }
    ScriptedDialogs &expectOpenPicture(const QString &path) { return push(Kind::OpenPicture, true, path); }
    ScriptedDialogs &expectPreview(std::function<void(Report &)> look = {})
    {
        push(Kind::PreviewReport);
        queue_.back().report = std::move(look);
        return *this;
    }
    ScriptedDialogs &expectPrintChart(std::function<void(DBChart &)> look = {})
    {
        push(Kind::PrintChart);
        queue_.back().chart = std::move(look);
        return *this;
    }
    ScriptedDialogs &expectDesktop(int result = 42)
    {
        push(Kind::OpenWithDesktop);
        queue_.back().result = result;
        return *this;
    }
    // `run` gets the window while it would be shown modally and returns its result code;
    // without it the window is closed at once with Rejected.
    ScriptedDialogs &expectModal(std::function<int(QDialog &)> run = {})
    {
        push(Kind::ExecModal);
        queue_.back().modal = std::move(run);
        return *this;
    }

    const std::vector<Call> &calls() const { return calls_; }
    QStringList texts(Kind kind) const
    {
        QStringList out;
        for (const Call &c : calls_)
            if (c.kind == kind)
                out.append(c.text);
        return out;
    }
    int count(Kind kind) const { return int(texts(kind).size()); }
    bool pending() const { return !queue_.empty(); }
    void clearCalls() { calls_.clear(); }

    static const char *name(Kind kind)
    {
        static const char *const names[] = {
            "message", "information", "confirm", "error", "openFile", "saveFile",
            "openPicture", "previewReport", "printChart", "openWithDesktop", "execModal"};
        return names[int(kind)];
    }

    // Dialogs
    void message(const QString &text) override { take(Kind::Message, text); }
    bool information(const QString &text) override { return take(Kind::Information, text).yes; }
    bool confirm(const QString &text) override { return take(Kind::Confirm, text).yes; }
    void error(const QString &text) override { take(Kind::Error, text); }
    QString openFile(const FileDialogSpec &opts) override { return take(Kind::OpenFile, {}, opts).path; }
    QString saveFile(const FileDialogSpec &opts) override { return take(Kind::SaveFile, {}, opts).path; }
    QString openPicture(const FileDialogSpec &opts) override
    {
        return take(Kind::OpenPicture, {}, opts).path;
    }
    void previewReport(Report &report) override
    {
        const Answer a = take(Kind::PreviewReport);
        if (a.report)
            a.report(report);
    }
    void printChart(DBChart &chart) override
    {
        const Answer a = take(Kind::PrintChart);
        if (a.chart)
            a.chart(chart);
    }
    int openWithDesktop(const QString &target) override
    {
        return take(Kind::OpenWithDesktop, target).result;
    }
    int execModal(QDialog &window) override
    {
        const Answer a = take(Kind::ExecModal, window.objectName());
        if (!a.modal)
            return QDialog::Rejected;
        return a.modal(window);
    }

private:
    struct Answer {
        Kind kind;
        bool yes = false;
        QString path;
        int result = 0;
        std::function<void(Report &)> report;
        std::function<void(DBChart &)> chart;
        std::function<int(QDialog &)> modal;
    };

    ScriptedDialogs &push(Kind kind, bool yes = false, const QString &path = {})
    {
        queue_.push_back(Answer{kind, yes, path, 0, {}, {}, {}});
        return *this;
    }

    Answer take(Kind kind, const QString &text = {}, const FileDialogSpec &opts = {})
    {
        calls_.push_back(Call{kind, text, opts});
        if (queue_.empty() || queue_.front().kind != kind) {
            ADD_FAILURE() << "unexpected dialog " << name(kind) << ": " << text.toStdString()
                          << (queue_.empty() ? std::string(" (none expected)")
                                             : std::string(" (expected ")
                                                   + name(queue_.front().kind) + ")");
            return Answer{kind, false, {}, 0, {}, {}, {}};
        }
        Answer a = std::move(queue_.front());
        queue_.pop_front();
        return a;
    }

    std::deque<Answer> queue_;
    std::vector<Call> calls_;
};
