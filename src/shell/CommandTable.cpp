#include "shell/CommandTable.h"

#include <QCoreApplication>
#include <QKeySequence>

#include "document/StatusPanels.h"

const TCommandDef CommandTable[22] = {
    {"actRatio1", QT_TRANSLATE_NOOP("CommandTable", "倍率"), "×&1", "1", "", -1, MenuLevelDocument, true, true},
    {"actRatio2", QT_TRANSLATE_NOOP("CommandTable", "倍率"), "×&2", "2", "", -1, MenuLevelDocument, true, false},
    {"actRatio3", QT_TRANSLATE_NOOP("CommandTable", "倍率"), "×&3", "3", "", -1, MenuLevelDocument, true, false},
    {"actRatio4", QT_TRANSLATE_NOOP("CommandTable", "倍率"), "×&4", "4", "", -1, MenuLevelDocument, true, false},
    {"actRatio6", QT_TRANSLATE_NOOP("CommandTable", "倍率"), "×&6", "6", "", -1, MenuLevelDocument, true, false},
    {"actRatio8", QT_TRANSLATE_NOOP("CommandTable", "倍率"), "×&8", "8", "", -1, MenuLevelDocument, true, false},
    {"actOpen", QT_TRANSLATE_NOOP("CommandTable", "ﾌｧｲﾙ"), QT_TRANSLATE_NOOP("CommandTable", "GIF/BMP/PNG/JPEG画像を開く(&O)"), "Ctrl+O",
     QT_TRANSLATE_NOOP("CommandTable", "GIF・BMP・PNG・JPEG画像を開きます。GIF以外は、色が256色を超える場合、減色してから開きます。"), 0, MenuLevelNoDocument, false, false},
    {"actRealTime", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "ﾘｱﾙﾀｲﾑでﾌﾟﾚﾋﾞｭｰ(&R)"), "", QT_TRANSLATE_NOOP("CommandTable", "透過色を指定したと同時にﾌﾟﾚﾋﾞｭｰ画像を表示します。"), -1,
     MenuLevelNoDocument, true, true},
    {"actShowPaletteSync", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "画像読み込みと同時にﾊﾟﾚｯﾄ表示(&Y)"), "",
     QT_TRANSLATE_NOOP("CommandTable", "画像ﾌｧｲﾙを開くと同時にﾊﾟﾚｯﾄを表示させるようにします。"), -1, MenuLevelNoDocument, true, false},
    {"actShowPalette", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "ﾊﾟﾚｯﾄの表示(&V)"), "Ctrl+P", QT_TRANSLATE_NOOP("CommandTable", "GIF画像に使われているﾊﾟﾚｯﾄを表示します。"), 3, MenuLevelDocument,
     false, false},
    {"actSave", QT_TRANSLATE_NOOP("CommandTable", "ﾌｧｲﾙ"), QT_TRANSLATE_NOOP("CommandTable", "GIF画像を保存(&S)"), "Ctrl+S", QT_TRANSLATE_NOOP("CommandTable", "GIF画像を指定したﾊﾟﾗﾒｰﾀに沿って保存します。"), 1, MenuLevelDocument, false,
     false},
    {"actClose", QT_TRANSLATE_NOOP("CommandTable", "ﾌｧｲﾙ"), QT_TRANSLATE_NOOP("CommandTable", "終了(&F)"), "", QT_TRANSLATE_NOOP("CommandTable", "ｱﾌﾟﾘｹｰｼｮﾝを終了します。"), -1, MenuLevelNoDocument, false, false},
    {"actFullScreen", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "ﾌﾙｽｸﾘｰﾝ(&F)"), "Ctrl+Return", QT_TRANSLATE_NOOP("CommandTable", "画面を最大にします。最大ならば標準に戻します。"), 2, MenuLevelNoDocument,
     false, false},
    {"actPreview", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "ｻﾝﾌﾟﾙをﾌﾟﾚﾋﾞｭｰ(&P)"), "", QT_TRANSLATE_NOOP("CommandTable", "右ﾍﾟｲﾝへﾌﾟﾚﾋﾞｭｰします。"), 4, MenuLevelDocument, false, false},
    {"actSusie", QT_TRANSLATE_NOOP("CommandTable", "ﾍﾙﾌﾟ"), QT_TRANSLATE_NOOP("CommandTable", "ﾌﾟﾗｸﾞｲﾝ ｲﾝｽﾄｰﾙ情報(&S)"), "", "", 6, MenuLevelNoDocument, false, false},
    {"actAbout", QT_TRANSLATE_NOOP("CommandTable", "ﾍﾙﾌﾟ"), QT_TRANSLATE_NOOP("CommandTable", "このｿﾌﾄｳｪｱについて(&A)"), "", "", -1, MenuLevelNoDocument, false, false},
    {"actHelp", QT_TRANSLATE_NOOP("CommandTable", "ﾍﾙﾌﾟ"), QT_TRANSLATE_NOOP("CommandTable", "ﾍﾙﾌﾟ(&H)"), "F1", "", 5, MenuLevelNoDocument, false, false},
    {"actPreviewColor", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "ﾌﾟﾚﾋﾞｭｰ時の背景色の設定(&B)"), "",
     QT_TRANSLATE_NOOP("CommandTable", "黒背景とかの場合はﾌﾟﾚﾋﾞｭｰ時の背景を黒にしてください。"), 7, MenuLevelDocument, false, false},
    {"actClassic", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "ｸﾗｼｯｸﾃﾞｻﾞｲﾝ(&C)"), "", QT_TRANSLATE_NOOP("CommandTable", "従来のﾃﾞｻﾞｲﾝにします。"), 8, MenuLevelNoDocument, true, false},
    {"actDeleteRecentFile", QT_TRANSLATE_NOOP("CommandTable", "ﾌｧｲﾙ"), QT_TRANSLATE_NOOP("CommandTable", "履歴の削除(&D)"), "", QT_TRANSLATE_NOOP("CommandTable", "最近使ったﾌｧｲﾙの履歴を削除します。"), 11, MenuLevelNoDocument, false,
     false},
    {"actAllFrames", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "全ﾌﾚｰﾑに適用(&A)"), "",
     QT_TRANSLATE_NOOP("CommandTable", "複数ﾌﾚｰﾑのGIF画像では、透過色を全てのﾌﾚｰﾑに適用します。"), -1, MenuLevelNoDocument, true, true},
    {"actSideBySide", QT_TRANSLATE_NOOP("CommandTable", "表示"), QT_TRANSLATE_NOOP("CommandTable", "明るい背景と暗い背景に並べて表示(&D)"), "",
     QT_TRANSLATE_NOOP("CommandTable", "ﾌﾟﾚﾋﾞｭｰを、設定した背景色と、その反対の明るさの背景色に並べて表示します。どちらの背景でもﾌﾁがきれいか確かめられます。"), -1,
     MenuLevelNoDocument, true, false},
};

QString CommandHint(const char* name) {
  for (const TCommandDef& def : CommandTable)
    if (qstrcmp(def.Name, name) == 0) return QCoreApplication::translate("CommandTable", def.Hint);
  return QString();
}

QList<TAction*> CreateCommands(QObject* owner) {
  QList<TAction*> result;
  for (const TCommandDef& def : CommandTable) {
    auto* a = new TAction(QCoreApplication::translate("CommandTable", def.Caption), owner);
    a->setObjectName(QString::fromLatin1(def.Name));
    a->Category = QCoreApplication::translate("CommandTable", def.Category);
    a->Tag = def.Tag;
    a->ImageIndex = def.ImageIndex;
    a->SetHint(QCoreApplication::translate("CommandTable", def.Hint));
    a->setCheckable(def.Checkable);
    a->setChecked(def.Checked);
    QList<QKeySequence> keys;
    if (*def.Shortcut) keys << QKeySequence(QString::fromLatin1(def.Shortcut));
    // The keypad's Enter counts as Enter for full screen.
    if (QByteArray(def.Shortcut) == "Ctrl+Return") keys << QKeySequence(QStringLiteral("Ctrl+Enter"));
    a->setShortcuts(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    result << a;
  }
  return result;
}
