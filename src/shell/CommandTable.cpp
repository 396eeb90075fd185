#include "shell/CommandTable.h"

#include <QKeySequence>

#include "document/StatusPanels.h"

const TCommandDef CommandTable[21] = {
    {"actRatio1", "倍率", "×&1", "1", "", -1, MenuLevelDocument, true, true},
    {"actRatio2", "倍率", "×&2", "2", "", -1, MenuLevelDocument, true, false},
    {"actRatio3", "倍率", "×&3", "3", "", -1, MenuLevelDocument, true, false},
    {"actRatio4", "倍率", "×&4", "4", "", -1, MenuLevelDocument, true, false},
    {"actRatio6", "倍率", "×&6", "6", "", -1, MenuLevelDocument, true, false},
    {"actRatio8", "倍率", "×&8", "8", "", -1, MenuLevelDocument, true, false},
    {"actOpen", "ﾌｧｲﾙ", "BMP/GIF画像を開く(&O)", "Ctrl+O",
     "GIF画像を開きます。BMP画像の場合はﾌﾙｶﾗｰの場合、減色処理が必要です。", 0, MenuLevelNoDocument, false, false},
    {"actRealTime", "表示", "ﾘｱﾙﾀｲﾑでﾌﾟﾚﾋﾞｭｰ(&R)", "", "透過色を指定したと同時にﾌﾟﾚﾋﾞｭｰ画像を表示します。", -1,
     MenuLevelNoDocument, true, true},
    {"actShowPaletteSync", "表示", "画像読み込みと同時にﾊﾟﾚｯﾄ表示(&Y)", "",
     "画像ﾌｧｲﾙを開くと同時にﾊﾟﾚｯﾄを表示させるようにします。", -1, MenuLevelNoDocument, true, false},
    {"actShowPalette", "表示", "ﾊﾟﾚｯﾄの表示(&V)", "Ctrl+P", "GIF画像に使われているﾊﾟﾚｯﾄを表示します。", 3, MenuLevelDocument,
     false, false},
    {"actSave", "ﾌｧｲﾙ", "GIF画像を保存(&S)", "Ctrl+S", "GIF画像を指定したﾊﾟﾗﾒｰﾀに沿って保存します。", 1, MenuLevelDocument, false,
     false},
    {"actClose", "ﾌｧｲﾙ", "終了(&F)", "", "ｱﾌﾟﾘｹｰｼｮﾝを終了します。", -1, MenuLevelNoDocument, false, false},
    {"actFullScreen", "表示", "ﾌﾙｽｸﾘｰﾝ(&F)", "Ctrl+Return", "画面を最大にします。最大ならば標準に戻します。", 2, MenuLevelNoDocument,
     false, false},
    {"actPreview", "表示", "ｻﾝﾌﾟﾙをﾌﾟﾚﾋﾞｭｰ(&P)", "", "右ﾍﾟｲﾝへﾌﾟﾚﾋﾞｭｰします。", 4, MenuLevelDocument, false, false},
    {"actSusie", "ﾍﾙﾌﾟ", "ﾌﾟﾗｸﾞｲﾝ ｲﾝｽﾄｰﾙ情報(&S)", "", "", 6, MenuLevelNoDocument, false, false},
    {"actAbout", "ﾍﾙﾌﾟ", "このｿﾌﾄｳｪｱについて(&A)", "", "", -1, MenuLevelNoDocument, false, false},
    {"actHelp", "ﾍﾙﾌﾟ", "ﾍﾙﾌﾟ(&H)", "", "", 5, MenuLevelNoDocument, false, false},
    {"actPreviewColor", "表示", "ﾌﾟﾚﾋﾞｭｰ時の背景色の設定(&B)", "",
     "黒背景とかの場合はﾌﾟﾚﾋﾞｭｰ時の背景を黒にしてください。", 7, MenuLevelDocument, false, false},
    {"actClassic", "表示", "ｸﾗｼｯｸﾃﾞｻﾞｲﾝ(&C)", "", "従来のﾃﾞｻﾞｲﾝにします。", 8, MenuLevelNoDocument, true, false},
    {"actDeleteRecentFile", "ﾌｧｲﾙ", "履歴の削除(&D)", "", "最近使ったﾌｧｲﾙの履歴を削除します。", 11, MenuLevelNoDocument, false,
     false},
    {"actAllFrames", "表示", "全ﾌﾚｰﾑに適用(&A)", "",
     "複数ﾌﾚｰﾑのGIF画像では、透過色を全てのﾌﾚｰﾑに適用します。", -1, MenuLevelNoDocument, true, true},
};

QList<TAction*> CreateCommands(QObject* owner) {
  QList<TAction*> result;
  for (const TCommandDef& def : CommandTable) {
    auto* a = new TAction(QString::fromUtf8(def.Caption), owner);
    a->setObjectName(QString::fromLatin1(def.Name));
    a->Category = QString::fromUtf8(def.Category);
    a->Tag = def.Tag;
    a->ImageIndex = def.ImageIndex;
    a->SetHint(QString::fromUtf8(def.Hint));
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
