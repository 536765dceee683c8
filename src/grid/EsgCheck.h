#pragma once

// The base of cell checkers: a checker inspects a cell text and returns it
// corrected or with its errors marked. This base checks nothing; a concrete
// checker overrides the operations. A grid holds at most one (CellChecker).

#include <QObject>
#include <QString>

class TExStringGridCheck : public QObject
{
public:
    explicit TExStringGridCheck(QObject* owner = nullptr) : QObject(owner) {}

    bool GotoCell() const { return FGotoCell; }
    void SetGotoCell(bool v) { FGotoCell = v; }
    bool AutoCorrect() const { return FAutoCorrect; }
    void SetAutoCorrect(bool v) { FAutoCorrect = v; }
    bool AutoMarkError() const { return FAutoMarkError; }
    void SetAutoMarkError(bool v) { FAutoMarkError = v; }
    bool UseCorrect() const { return FUseCorrect; }
    void SetUseCorrect(bool v) { FUseCorrect = v; }
    bool UseMarkError() const { return FUseMarkError; }
    void SetUseMarkError(bool v) { FUseMarkError = v; }

    virtual QString MarkError(int aCol, int aRow, const QString& text) { return (void)aCol, (void)aRow, text; }
    virtual QString Correct(int aCol, int aRow, const QString& text) { return (void)aCol, (void)aRow, text; }
    virtual void StartCheck() {}
    virtual void StopCheck() {}

private:
    bool FGotoCell = false;
    bool FAutoCorrect = false;
    bool FAutoMarkError = false;
    bool FUseCorrect = false;
    bool FUseMarkError = false;
};
