<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="ja_JP">
<context>
    <name>AboutBox</name>
    <message>
        <source>このｿﾌﾄｳｪｱについて</source>
        <translation>About this software</translation>
    </message>
</context>
<context>
    <name>AlphaModule</name>
    <message>
        <source>tomaru: WebP と PNG を書く部分を読み込めませんでした。(%1)</source>
        <translation>tomaru: could not load the part that writes WebP and PNG. (%1)</translation>
    </message>
</context>
<context>
    <name>AlphaWriter</name>
    <message>
        <source>WebP は 4 GB を超えられません</source>
        <translation>A WebP cannot exceed 4 GB</translation>
    </message>
    <message>
        <source>WebP の符号化に失敗しました: %1</source>
        <translation>The WebP encoder failed: %1</translation>
    </message>
    <message>
        <source>保存するフレームがありません</source>
        <translation>There is no frame to save</translation>
    </message>
    <message>
        <source>WebP の画面は縦横 %1 画素までです。この画像は %2 x %3 画素です</source>
        <translation>A WebP&apos;s screen is at most %1 pixels each way; this picture is %2 x %3 pixels</translation>
    </message>
    <message>
        <source>PNG の符号化に失敗しました: %1</source>
        <translation>The PNG encoder failed: %1</translation>
    </message>
    <message>
        <source>PNG に保存できるのは 1 枚の絵だけです。%1 フレームのアニメーションは WebP で保存してください</source>
        <translation>A PNG holds one picture only; save the animation of %1 frames as WebP</translation>
    </message>
    <message>
        <source>%1 フレームのうち %2 フレームしか揃っていません</source>
        <translation>Only %2 of the %1 frames came</translation>
    </message>
    <message>
        <source>%1 フレーム目から画像データが壊れているため、書き出せません</source>
        <translation>the image data is damaged from frame %1 on, so it cannot be written</translation>
    </message>
    <message>
        <source>画面が大きすぎて合成できません</source>
        <translation>the screen is too large to compose</translation>
    </message>
</context>
<context>
    <name>BatchJob</name>
    <message>
        <source>ファイル「%1」の色テーブルに %2 の色がありません。</source>
        <translation>The colour table of file &quot;%1&quot; has no colour %2.</translation>
    </message>
    <message>
        <source>ファイル「%1」の画像に %2 の画素がありません。</source>
        <translation>The picture of file &quot;%1&quot; has no pixel %2.</translation>
    </message>
    <message>
        <source>ファイル「%1」: %2</source>
        <translation>File &quot;%1&quot;: %2</translation>
    </message>
    <message>
        <source>%1 フレームは画像データを書き換えないと透過色を正しく表せません</source>
        <translation>%1 frames cannot show the colour transparent without their image data written anew</translation>
    </message>
    <message>
        <source>%1 フレームは 256 色を超えるため透過色を正しく表せません</source>
        <translation>%1 frames cannot show the colour transparent: they would need more than 256 colours</translation>
    </message>
    <message>
        <source>%1 フレームより後ろが壊れているため、そのまま残しました</source>
        <translation>the file is damaged after %1 frames; the rest was kept as it was</translation>
    </message>
    <message>
        <source>ファイル「%1」: %2。</source>
        <translation>File &quot;%1&quot;: %2.</translation>
    </message>
    <message>
        <source>。</source>
        <translation>; </translation>
    </message>
    <message>
        <source>ファイル「%1」: 保存で %2 バイトから %3 バイトに増えました (書き換えたフレーム %4)。</source>
        <translation>File &quot;%1&quot;: the save grew it from %2 to %3 bytes (%4 frames written anew).</translation>
    </message>
    <message>
        <source>%1 フレーム目から画像データが壊れているため、制御ブロックだけを変えました</source>
        <translation>the image data is damaged from frame %1 on; only control blocks were changed there</translation>
    </message>
    <message>
        <source>フレームの範囲が大きすぎて確かめられないため、制御ブロックだけを変えました</source>
        <translation>the frames spread too wide to be checked; only control blocks were changed</translation>
    </message>
    <message>
        <source>%1 フレームは描く色が 256 色に収まらないため、近い色どうしをまとめました</source>
        <translation>%1 frames had their nearest colours merged: the colours they must paint would not fit in 256</translation>
    </message>
</context>
<context>
    <name>BatchWrite</name>
    <message>
        <source>ファイル「%1」は読み込んだ後に変更されたため、置き換えませんでした。</source>
        <translation>File &quot;%1&quot; changed after it was read, so it was not replaced.</translation>
    </message>
    <message>
        <source>ファイル「%1」を保存できませんでした。
(%2)</source>
        <translation>File &quot;%1&quot; could not be saved.
(%2)</translation>
    </message>
    <message>
        <source>ファイル「%1」には %2 個のハードリンクがあるため、置き換えませんでした。リンクを切って置き換えるには --break-links を指定してください。</source>
        <translation>File &quot;%1&quot; has %2 hard links, so it was not replaced. Give --break-links to replace it, cutting it off from its other links.</translation>
    </message>
    <message>
        <source>ファイル「%1」の所有者を保てなかったため、所有者は実行したユーザーになり、set-uid と set-gid は外しました。</source>
        <translation>The owner of file &quot;%1&quot; could not be kept: it now belongs to the user who ran the command, and its set-uid and set-gid bits were removed.</translation>
    </message>
</context>
<context>
    <name>BmpLoader</name>
    <message>
        <source>ファイル「%1」はBMP画像として読み込めませんでした。</source>
        <translation>File &quot;%1&quot; could not be read as a BMP picture.</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>使い方は tomaru --help で表示します。</source>
        <translation>tomaru --help shows how to use it.</translation>
    </message>
    <message>
        <source>COLOR を透過色にします: #RRGGBB、RRGGBB、色の名前 (white)、index:N (パレットの N 番)、pixel:X,Y (最初のフレームの画素)。</source>
        <translation>Makes COLOR the transparent colour: #RRGGBB, RRGGBB, a colour name (white), index:N (palette entry N), pixel:X,Y (a pixel of the first frame).</translation>
    </message>
    <message>
        <source>出力ファイル (入力が一つのとき) か、既存の出力フォルダ (同じファイル名)。</source>
        <translation>Output file (for a single input) or an existing output folder (same file names).</translation>
    </message>
    <message>
        <source>アニメーションでは最初のフレームだけを透過にします。</source>
        <translation>In an animation, makes only the first frame transparent.</translation>
    </message>
    <message>
        <source>透過を解除します。</source>
        <translation>Clears transparency.</translation>
    </message>
    <message>
        <source>ファイルを指定してください。</source>
        <translation>Name at least one file.</translation>
    </message>
    <message>
        <source>--info は何も書かないので、-o、--suffix、--in-place は使えません。</source>
        <translation>--info writes nothing, so -o, --suffix and --in-place cannot be used with it.</translation>
    </message>
    <message>
        <source>-o、--suffix、--in-place のどれか一つを指定してください。</source>
        <translation>Give exactly one of -o, --suffix and --in-place.</translation>
    </message>
    <message>
        <source>色「%1」が読めません。#RRGGBB、RRGGBB、色の名前、index:N、pixel:X,Y で指定してください。</source>
        <translation>Cannot read the colour &quot;%1&quot;. Give it as #RRGGBB, RRGGBB, a colour name, index:N or pixel:X,Y.</translation>
    </message>
    <message>
        <source>画像データを書き換えず、制御ブロックだけを変えます。それでは正しく透過にならないファイルは標準エラーに名前と理由を出します。</source>
        <translation>Changes control blocks only, never image data. Files that cannot be made right that way are named on standard error with the reason.</translation>
    </message>
    <message>
        <source>GIF の背景色を透過にします。画像データは、そうしなければ正しくならないフレームだけを書き換えます。</source>
        <translation>Makes a GIF&apos;s background colour transparent. Image data is written anew only for frames that cannot be made right otherwise.</translation>
    </message>
    <message>
        <source>入力ファイルを置き換えます (シンボリックリンクはリンク先を置き換え、所有者、グループ、モード、ACL、拡張属性はそのまま、途中で壊れません)。ハードリンクが複数あるファイルは置き換えません。</source>
        <translation>Replaces the input file (a symbolic link&apos;s target is replaced; owner, group, mode, ACLs and extended attributes are kept; never left half-written). A file with several hard links is not replaced.</translation>
    </message>
    <message>
        <source>ハードリンクが複数あるファイルも置き換えます (置き換えたファイルは他のリンクから切り離されます)。</source>
        <translation>Replaces files with several hard links too (the replaced file is cut off from its other links).</translation>
    </message>
    <message>
        <source>ファイルごとに一行、タブ区切りで表示し、何も変えません: ファイル、バイト数、幅、高さ、色数、フレーム数、透過色の番号 (なしは -)。ファイル名の \ と制御文字と UTF-8 でないバイトは \\、\t、\n、\r、\xHH と書きます。</source>
        <translation>Prints one tab-separated line per file and changes nothing: file, bytes, width, height, colours, frames, transparent index (- for none). In file names, \, control characters and bytes that are not UTF-8 are written as \\, \t, \n, \r and \xHH.</translation>
    </message>
    <message>
        <source>tomaru: 作業フォルダを作成できませんでした。(%1)</source>
        <translation>tomaru: the working folder could not be made. (%1)</translation>
    </message>
    <message>
        <source>256 色を超える BMP、PNG、JPEG の減色: auto (画像に合わせたパレット)、256、16、2 (固定パレット) (既定 auto)。</source>
        <translation>Colours for a BMP, PNG or JPEG with more than 256 colours: auto (a palette made for the picture), 256, 16, 2 (fixed palettes) (default auto).</translation>
    </message>
    <message>
        <source>--colors auto でディザリングします (既定)。</source>
        <translation>Dithers with --colors auto (the default).</translation>
    </message>
    <message>
        <source>--colors auto でディザリングしません。</source>
        <translation>Does not dither with --colors auto.</translation>
    </message>
    <message>
        <source>--colors は auto、256、16、2 のどれかです。</source>
        <translation>--colors is one of auto, 256, 16 and 2.</translation>
    </message>
    <message>
        <source>--dither と --no-dither は一緒に使えません。</source>
        <translation>--dither and --no-dither cannot be given together.</translation>
    </message>
    <message>
        <source>GIF、BMP、PNG、JPEG のファイル。</source>
        <translation>A GIF, BMP, PNG or JPEG file.</translation>
    </message>
    <message>
        <source>開いたときの透過のまま書きます: GIF はそのままのバイトで、BMP、PNG、JPEG は変換した GIF (PNG の透明な画素は透過のまま) です。</source>
        <translation>Keep the transparency as opened: a GIF byte for byte, a BMP, PNG or JPEG converted to GIF (a PNG&apos;s see-through pixels stay see-through).</translation>
    </message>
    <message>
        <source>FILE に NUL で区切って並べた名前も入力にします (- は標準入力)。一覧は読みながら処理します。</source>
        <translation>Also take the NUL-separated names in FILE as inputs (- for standard input). The list is read while the batch works.</translation>
    </message>
    <message>
        <source>--files0-from は一つだけ指定できます。</source>
        <translation>Give --files0-from only once.</translation>
    </message>
    <message>
        <source>--transparent、--none、--keep、--info のどれか一つを指定してください。</source>
        <translation>Give exactly one of --transparent, --none, --keep and --info.</translation>
    </message>
    <message>
        <source>ファイル名の一覧「%1」の %2 番目の名前が空です。</source>
        <translation>Name %2 in the list of file names &quot;%1&quot; is empty.</translation>
    </message>
    <message>
        <source>ファイル名の一覧「%1」の %2 番目の名前が %3 バイトを超えています。</source>
        <translation>Name %2 in the list of file names &quot;%1&quot; is longer than %3 bytes.</translation>
    </message>
    <message>
        <source>--transparent の色に近い色も透過にします: N は 0 から 100 まで (RGB の距離を、黒から白までの距離に対する % で。既定の 0 は同じ色だけ)。</source>
        <translation>Also makes colours near the --transparent colour transparent: N from 0 to 100 (the RGB distance as a percentage of the distance from black to white; the default 0 takes the same colour only).</translation>
    </message>
    <message>
        <source>--transparent で透過にするのを、画像のフチからつながった部分 (背景) だけにします。絵の中の同じ色は残ります。</source>
        <translation>Makes only the part joined to the picture&apos;s edge (the background) transparent with --transparent; the same colour inside the picture stays.</translation>
    </message>
    <message>
        <source>--fuzz は 0 から 100 までの整数です。</source>
        <translation>--fuzz takes a whole number from 0 to 100.</translation>
    </message>
    <message>
        <source>GIF で、透過した部分とのフチの色を、COLOR のページに置いたときになじむように塗り替えます。COLOR は --transparent と同じ書き方です。WebP と PNG では使えません (--soft-edges がどのページにもなじませます)。</source>
        <translation>For a GIF, recolours the edge next to the transparent part so that it blends into a page of COLOR. COLOR is written as for --transparent. Not for WebP and PNG (--soft-edges blends them into every page).</translation>
    </message>
    <message>
        <source>透過した部分とのフチを、絵の色と透明度に分けます。WebP と PNG では半透明のフチになり、どの色のページでもなじみます。GIF では --matte の色になじませます (--matte が必要です)。</source>
        <translation>Unmixes the edge next to the transparent part into the art's colour and its transparency. In WebP and PNG the edge is partly see-through and blends into a page of any colour; in a GIF it is blended into the --matte colour (--matte is needed).</translation>
    </message>
    <message>
        <source>書き出す形式: gif、webp (アニメーションも、透明度 8 ビット)、png (1 フレームだけ、透明度 8 ビット)。-o のフォルダと --suffix の形式を選び、-o のファイルの拡張子より優先します (既定は -o の拡張子、ほかは gif)。</source>
        <translation>The format written: gif, webp (animations too, 8-bit transparency), png (one frame only, 8-bit transparency). Picks the format for -o into a folder and for --suffix, and wins over the extension of -o FILE (by default the extension of -o, otherwise gif).</translation>
    </message>
    <message>
        <source>入力の隣に「名前TEXT.gif」を書きます (--format で .webp、.png)。</source>
        <translation>Writes &quot;nameTEXT.gif&quot; beside each input (.webp or .png with --format).</translation>
    </message>
    <message>
        <source>--fuzz、--connected、--matte、--soft-edges は --transparent と一緒に指定してください。</source>
        <translation>Give --fuzz, --connected, --matte and --soft-edges together with --transparent.</translation>
    </message>
    <message>
        <source>--format は gif、webp、png のどれかです。</source>
        <translation>--format is one of gif, webp, png.</translation>
    </message>
    <message>
        <source>GIF の --soft-edges には、なじませるページの色 --matte COLOR が必要です。</source>
        <translation>--soft-edges for a GIF needs the page colour to blend into: --matte COLOR.</translation>
    </message>
    <message>
        <source>--in-place で書けるのは GIF だけです。</source>
        <translation>--in-place writes GIF only.</translation>
    </message>
    <message>
        <source>WebP と PNG はページの色を使わないので、--matte は使えません (--soft-edges を使ってください)。</source>
        <translation>WebP and PNG need no page colour: --matte cannot be used (use --soft-edges).</translation>
    </message>
</context>
<context>
    <name>CommandTable</name>
    <message>
        <source>倍率</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ</source>
        <translation>File</translation>
    </message>
    <message>
        <source>表示</source>
        <translation>View</translation>
    </message>
    <message>
        <source>ﾘｱﾙﾀｲﾑでﾌﾟﾚﾋﾞｭｰ(&amp;R)</source>
        <translation>&amp;Real-time preview</translation>
    </message>
    <message>
        <source>透過色を指定したと同時にﾌﾟﾚﾋﾞｭｰ画像を表示します。</source>
        <translation>Shows the preview as soon as a transparent colour is chosen.</translation>
    </message>
    <message>
        <source>画像読み込みと同時にﾊﾟﾚｯﾄ表示(&amp;Y)</source>
        <translation>Show palette on &amp;opening a picture</translation>
    </message>
    <message>
        <source>画像ﾌｧｲﾙを開くと同時にﾊﾟﾚｯﾄを表示させるようにします。</source>
        <translation>Shows the palette whenever a picture file is opened.</translation>
    </message>
    <message>
        <source>ﾊﾟﾚｯﾄの表示(&amp;V)</source>
        <translation>Sho&amp;w palette</translation>
    </message>
    <message>
        <source>GIF画像に使われているﾊﾟﾚｯﾄを表示します。</source>
        <translation>Shows the palette the GIF picture uses.</translation>
    </message>
    <message>
        <source>GIF画像を保存(&amp;S)</source>
        <translation>&amp;Save GIF picture...</translation>
    </message>
    <message>
        <source>GIF画像を指定したﾊﾟﾗﾒｰﾀに沿って保存します。</source>
        <translation>Saves the GIF picture with the chosen settings.</translation>
    </message>
    <message>
        <source>終了(&amp;F)</source>
        <translation>E&amp;xit</translation>
    </message>
    <message>
        <source>ｱﾌﾟﾘｹｰｼｮﾝを終了します。</source>
        <translation>Quits the application.</translation>
    </message>
    <message>
        <source>ﾌﾙｽｸﾘｰﾝ(&amp;F)</source>
        <translation>&amp;Full screen</translation>
    </message>
    <message>
        <source>画面を最大にします。最大ならば標準に戻します。</source>
        <translation>Maximises the window; when maximised, restores it.</translation>
    </message>
    <message>
        <source>ｻﾝﾌﾟﾙをﾌﾟﾚﾋﾞｭｰ(&amp;P)</source>
        <translation>&amp;Preview sample</translation>
    </message>
    <message>
        <source>右ﾍﾟｲﾝへﾌﾟﾚﾋﾞｭｰします。</source>
        <translation>Previews in the right pane.</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>ﾌﾟﾗｸﾞｲﾝ ｲﾝｽﾄｰﾙ情報(&amp;S)</source>
        <translation>Plug-in &amp;Susie information</translation>
    </message>
    <message>
        <source>このｿﾌﾄｳｪｱについて(&amp;A)</source>
        <translation>&amp;About this software</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>ﾌﾟﾚﾋﾞｭｰ時の背景色の設定(&amp;B)</source>
        <translation>Preview &amp;background colour...</translation>
    </message>
    <message>
        <source>黒背景とかの場合はﾌﾟﾚﾋﾞｭｰ時の背景を黒にしてください。</source>
        <translation>For a page with a black background, for example, make the preview background black.</translation>
    </message>
    <message>
        <source>ｸﾗｼｯｸﾃﾞｻﾞｲﾝ(&amp;C)</source>
        <translation>&amp;Classic design</translation>
    </message>
    <message>
        <source>従来のﾃﾞｻﾞｲﾝにします。</source>
        <translation>Switches to the classic design.</translation>
    </message>
    <message>
        <source>履歴の削除(&amp;D)</source>
        <translation>&amp;Delete history</translation>
    </message>
    <message>
        <source>最近使ったﾌｧｲﾙの履歴を削除します。</source>
        <translation>Deletes the history of recently used files.</translation>
    </message>
    <message>
        <source>全ﾌﾚｰﾑに適用(&amp;A)</source>
        <translation>Apply to &amp;all frames</translation>
    </message>
    <message>
        <source>複数ﾌﾚｰﾑのGIF画像では、透過色を全てのﾌﾚｰﾑに適用します。</source>
        <translation>In a GIF picture with several frames, applies the transparent colour to every frame.</translation>
    </message>
    <message>
        <source>GIF/BMP/PNG/JPEG画像を開く(&amp;O)</source>
        <translation>&amp;Open GIF/BMP/PNG/JPEG picture...</translation>
    </message>
    <message>
        <source>GIF・BMP・PNG・JPEG画像を開きます。GIF以外は、色が256色を超える場合、減色してから開きます。</source>
        <translation>Opens a GIF, BMP, PNG or JPEG picture; one of more than 256 colours is reduced first.</translation>
    </message>
    <message>
        <source>明るい背景と暗い背景に並べて表示(&amp;D)</source>
        <translation>Preview on a light an&amp;d a dark page</translation>
    </message>
    <message>
        <source>ﾌﾟﾚﾋﾞｭｰを、設定した背景色と、その反対の明るさの背景色に並べて表示します。どちらの背景でもﾌﾁがきれいか確かめられます。</source>
        <translation>Shows the preview twice, side by side: on the page colour you set and on one of the opposite lightness, so you see whether the edges look right on both kinds of page.</translation>
    </message>
</context>
<context>
    <name>Dialogs</name>
    <message>
        <source>確認</source>
        <translation>Confirm</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>置き換える(&amp;R)</source>
        <translation>&amp;Replace</translation>
    </message>
</context>
<context>
    <name>DropFiles</name>
    <message>
        <source>拡張子「%1」のファイルは処理できません。</source>
        <translation>Files with the extension &quot;%1&quot; cannot be handled.</translation>
    </message>
</context>
<context>
    <name>Exception</name>
    <message>
        <source>I/O エラー (%1)</source>
        <translation>I/O error (%1)</translation>
    </message>
</context>
<context>
    <name>FileErrors</name>
    <message>
        <source>読み取り権限がありません</source>
        <translation>no permission to read</translation>
    </message>
    <message>
        <source>書き込み権限がありません</source>
        <translation>no permission to write</translation>
    </message>
    <message>
        <source>この操作は許可されていません</source>
        <translation>operation not permitted</translation>
    </message>
    <message>
        <source>ファイルまたはフォルダが見つかりません</source>
        <translation>no such file or folder</translation>
    </message>
    <message>
        <source>パスの途中にフォルダでないものがあります</source>
        <translation>a part of the path is not a folder</translation>
    </message>
    <message>
        <source>ファイルではなくフォルダです</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>ディスクの空き容量が足りません</source>
        <translation>not enough space left on the disk</translation>
    </message>
    <message>
        <source>ディスクの使用量の上限を超えています</source>
        <translation>disk quota exceeded</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>file too large</translation>
    </message>
    <message>
        <source>読み取り専用のファイルシステムです</source>
        <translation>read-only file system</translation>
    </message>
    <message>
        <source>装置の入出力エラーです</source>
        <translation>input/output error on the device</translation>
    </message>
    <message>
        <source>ファイル名が長すぎます</source>
        <translation>file name too long</translation>
    </message>
    <message>
        <source>シンボリックリンクが循環しているか、深すぎます</source>
        <translation>symbolic links loop or nest too deep</translation>
    </message>
    <message>
        <source>開いているファイルが多すぎます</source>
        <translation>too many open files</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>not enough memory</translation>
    </message>
    <message>
        <source>同じ名前のものが既にあります</source>
        <translation>something of that name already exists</translation>
    </message>
    <message>
        <source>ファイルまたは装置が使用中です</source>
        <translation>file or device busy</translation>
    </message>
    <message>
        <source>実行中のファイルです</source>
        <translation>the file is a running program</translation>
    </message>
    <message>
        <source>別のファイルシステムをまたいでいます</source>
        <translation>crosses to another file system</translation>
    </message>
    <message>
        <source>ファイル名または引数が正しくありません</source>
        <translation>invalid file name or argument</translation>
    </message>
    <message>
        <source>一時的に使えません。もう一度試してください</source>
        <translation>temporarily unavailable; try again</translation>
    </message>
    <message>
        <source>操作が中断されました</source>
        <translation>operation interrupted</translation>
    </message>
    <message>
        <source>装置がありません</source>
        <translation>no such device</translation>
    </message>
    <message>
        <source>ネットワーク上のファイルが無効になりました</source>
        <translation>the network file is no longer valid</translation>
    </message>
    <message>
        <source>フォルダが空ではありません</source>
        <translation>folder not empty</translation>
    </message>
    <message>
        <source>不明なエラー</source>
        <translation>unknown error</translation>
    </message>
    <message>
        <source>ファイル「%1」を読み込めませんでした。</source>
        <translation>File &quot;%1&quot; could not be read.</translation>
    </message>
    <message>
        <source>ファイル「%1」を保存できませんでした。</source>
        <translation>File &quot;%1&quot; could not be saved.</translation>
    </message>
    <message>
        <source>フォルダ「%1」を作成できませんでした。</source>
        <translation>Folder &quot;%1&quot; could not be created.</translation>
    </message>
    <message>
        <source>(%1、エラーコード %2)</source>
        <translation>(%1, error code %2)</translation>
    </message>
    <message>
        <source>特殊なファイル</source>
        <translation>a special file</translation>
    </message>
    <message>
        <source>名前付きパイプ</source>
        <translation>a named pipe</translation>
    </message>
    <message>
        <source>デバイス</source>
        <translation>a device</translation>
    </message>
    <message>
        <source>ソケット</source>
        <translation>a socket</translation>
    </message>
    <message>
        <source>%1です。読み込めるのは通常のファイルだけです</source>
        <translation>it is %1; only regular files can be read</translation>
    </message>
    <message>
        <source>%1 バイトあり、扱える大きさ (%2 バイト) を超えています</source>
        <translation>it has %1 bytes, more than can be handled (%2 bytes)</translation>
    </message>
</context>
<context>
    <name>FileOpen</name>
    <message>
        <source>ファイル「%1」の画像を表示できませんでした。</source>
        <translation>The picture of file &quot;%1&quot; could not be shown.</translation>
    </message>
    <message>
        <source>ファイル「%1」はGIF画像として読み込めませんでした。</source>
        <translation>File &quot;%1&quot; could not be read as a GIF picture.</translation>
    </message>
    <message>
        <source>ファイル「%1」が存在しませんでした。</source>
        <translation>File &quot;%1&quot; does not exist.</translation>
    </message>
    <message>
        <source>%1 色</source>
        <translation>%1 colours</translation>
    </message>
    <message>
        <source>透過済み</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>透過なし</source>
        <translation>Opaque</translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>ファイル「%1」は %2 フレーム目以降が壊れています。保存しても、%2 フレーム目以降は元のまま残ります。</source>
        <translation>File &quot;%1&quot; is damaged from frame %2 on. Saving keeps frame %2 and everything after it as they are.</translation>
    </message>
</context>
<context>
    <name>FramesPanel</name>
    <message>
        <source>%1 ﾌﾚｰﾑ</source>
        <translation>%1 frames</translation>
    </message>
    <message>
        <source>以降破損</source>
        <translation>damaged after</translation>
    </message>
    <message>
        <source>書換 %1</source>
        <translation>rewritten %1</translation>
    </message>
    <message>
        <source>不可 %1</source>
        <translation>not possible %1</translation>
    </message>
    <message>
        <source>未確認</source>
        <translation>not checked</translation>
    </message>
    <message>
        <source>%1 ﾌﾚｰﾑ目から破損</source>
        <translation>damaged from frame %1</translation>
    </message>
    <message>
        <source>判定中 %1/%2</source>
        <translation>judging %1/%2</translation>
    </message>
    <message>
        <source>減色 %1</source>
        <translation>reduced %1</translation>
    </message>
    <message>
        <source>保存しました: %1 (%2 バイト)</source>
        <translation>Saved: %1 (%2 bytes)</translation>
    </message>
    <message>
        <source>。%1 フレームは描く色が 256 色に収まらないため、近い色どうしをまとめました</source>
        <translation>. %1 frames had their nearest colours merged: the colours they must paint would not fit in 256</translation>
    </message>
    <message>
        <source>保存すると、%1 フレームは描く色が 256 色に収まらないため、近い色どうしをまとめます</source>
        <translation>Saving will merge the nearest colours of %1 frames: the colours they must paint do not fit in 256</translation>
    </message>
    <message>
        <source>透過 %1/%2</source>
        <translation>Transparent %1/%2</translation>
    </message>
    <message>
        <source>透過 %1/%2 ﾌﾚｰﾑ</source>
        <translation>Transparent %1/%2 frames</translation>
    </message>
</context>
<context>
    <name>GifDocument</name>
    <message>
        <source>GIFのシグネチャがありません</source>
        <translation>no GIF signature</translation>
    </message>
    <message>
        <source>最初の画像の前でファイルが終わっています</source>
        <translation>the file ends before the first image</translation>
    </message>
    <message>
        <source>位置 %1 (0x%2) のブロックが壊れています</source>
        <translation>the block at offset %1 (0x%2) is damaged</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>file too large</translation>
    </message>
</context>
<context>
    <name>HelpFile</name>
    <message>
        <source>help.chm</source>
        <translation>help_en.chm</translation>
    </message>
</context>
<context>
    <name>HelpViewer</name>
    <message>
        <source>Tomaru ヘルプ</source>
        <translation>Tomaru Help</translation>
    </message>
    <message>
        <source>ファイル「%1」はヘルプファイル(CHM形式)として読み込めませんでした。</source>
        <translation>File &quot;%1&quot; could not be read as a help file (CHM format).</translation>
    </message>
    <message>
        <source>戻る</source>
        <translation>Back</translation>
    </message>
    <message>
        <source>進む</source>
        <translation>Forward</translation>
    </message>
    <message>
        <source>目次</source>
        <translation>Contents</translation>
    </message>
    <message>
        <source>ページ %1 が見つかりません。</source>
        <translation>Page %1 not found.</translation>
    </message>
</context>
<context>
    <name>LiqLibrary</name>
    <message>
        <source>色を減らす部分 (libimagequant) を読み込めませんでした。(%1)</source>
        <translation>The part that reduces colours (libimagequant) could not be loaded. (%1)</translation>
    </message>
    <message>
        <source>求める画質に届きません</source>
        <translation>the quality asked for cannot be reached</translation>
    </message>
    <message>
        <source>値が範囲外です</source>
        <translation>a value is out of range</translation>
    </message>
    <message>
        <source>中止されました</source>
        <translation>it was stopped</translation>
    </message>
    <message>
        <source>画素が渡されていません</source>
        <translation>no pixels were given</translation>
    </message>
    <message>
        <source>結果を受け取る場所が小さすぎます</source>
        <translation>the space for the result is too small</translation>
    </message>
    <message>
        <source>不正なポインタが渡されました</source>
        <translation>an invalid pointer was given</translation>
    </message>
    <message>
        <source>その使い方には対応していません</source>
        <translation>that use is not supported</translation>
    </message>
    <message>
        <source>エラー %1</source>
        <translation>error %1</translation>
    </message>
    <message>
        <source>色を減らせませんでした。(libimagequant: %1)</source>
        <translation>The colours could not be reduced. (libimagequant: %1)</translation>
    </message>
</context>
<context>
    <name>MainForm</name>
    <message>
        <source>透過済み</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>256 色</source>
        <translation>256 colours</translation>
    </message>
    <message>
        <source>背景透過(&amp;T)</source>
        <translation>&amp;Transparent</translation>
    </message>
    <message>
        <source>背景を透過させたいのであればこのﾁｪｯｸを入れて下さい。</source>
        <translation>Tick this to make the background transparent.</translation>
    </message>
    <message>
        <source>読み込み時の透過色</source>
        <translation>Colour on opening</translation>
    </message>
    <message>
        <source>読み込んだGIF画像が透過済みの場合のみ表示されます。</source>
        <translation>Shown only when the opened GIF picture is already transparent.</translation>
    </message>
    <message>
        <source>適応したい透過色</source>
        <translation>Colour to apply</translation>
    </message>
    <message>
        <source>現在透過を試みている色です。ﾌﾟﾚﾋﾞｭｰすると、この色を透過色として右ﾍﾟｲﾝに表示してくれます。</source>
        <translation>The colour being made transparent now. A preview shows the picture in the right pane with this colour transparent.</translation>
    </message>
    <message>
        <source>ﾌｧｲﾙ(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>最近開いたﾌｧｲﾙ(&amp;R)</source>
        <translation>&amp;Recent files</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>倍率(&amp;R)</source>
        <translation>&amp;Zoom</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>表示／倍率</source>
        <translation>View/Zoom</translation>
    </message>
    <message>
        <source>GIF/BMP/PNG/JPEG画像(*.gif,*.bmp,*.png,*.jpg,*.jpeg) (*.gif *.bmp *.png *.jpg *.jpeg *.GIF *.BMP *.PNG *.JPG *.JPEG *.Gif *.Bmp *.Png *.Jpg *.Jpeg)</source>
        <translation>GIF/BMP/PNG/JPEG pictures (*.gif,*.bmp,*.png,*.jpg,*.jpeg) (*.gif *.bmp *.png *.jpg *.jpeg *.GIF *.BMP *.PNG *.JPG *.JPEG *.Gif *.Bmp *.Png *.Jpg *.Jpeg)</translation>
    </message>
    <message>
        <source>許容度(&amp;O)</source>
        <translation>T&amp;olerance</translation>
    </message>
    <message>
        <source>%</source>
        <translation>%</translation>
    </message>
    <message>
        <source>背景だけ(ﾌﾁからつながった部分)(&amp;B)</source>
        <translation>&amp;Background only (joined to the edge)</translation>
    </message>
    <message>
        <source>選んだ色に近い色も透過させます。0% は選んだ色だけで、大きくするほど離れた色まで透過します。</source>
        <translation>Also makes colours near the chosen one transparent. At 0% only the chosen colour; the larger the number, the farther the colours taken.</translation>
    </message>
    <message>
        <source>画像のﾌﾁからつながった部分だけを透過させます。絵の中の同じ色(目の白い所など)は残ります。</source>
        <translation>Makes only the part joined to the picture&apos;s edge transparent. The same colour inside the picture (the whites of eyes, for example) stays.</translation>
    </message>
    <message>
        <source>開いたときのﾌｧｲﾙが透過済みかどうかです。保存で透過させる色は「適応したい透過色」に表示されます。</source>
        <translation>Whether the file was transparent as opened. The colour a save makes transparent shows in &quot;Colour to apply&quot;.</translation>
    </message>
    <message>
        <source>透過 999/999 (書換 99, 減色 99)</source>
        <translation>Transparent 999/999 (rewritten 99, reduced 99)</translation>
    </message>
    <message>
        <source>ﾌﾁをなめらかに(&amp;E)</source>
        <translation>Smooth &amp;edges</translation>
    </message>
    <message>
        <source>透過した部分とのﾌﾁをなめらかにします。GIFではﾌﾁの色をﾌﾟﾚﾋﾞｭｰ時の背景色(表示ﾒﾆｭｰで設定)になじむように塗り替えます。WebPとPNGではﾌﾁを半透明のまま残すので、どの背景色でもなめらかです。</source>
        <translation>Smooths the edges next to the transparent part. A GIF blends them into the preview's page colour (set in the View menu); WebP and PNG keep them partly see-through, so they look smooth on any page.</translation>
    </message>
    <message>
        <source>形式(&amp;M)</source>
        <translation>For&amp;mat</translation>
    </message>
    <message>
        <source>保存とﾌﾟﾚﾋﾞｭｰの形式です。WebP(ｱﾆﾒｰｼｮﾝも可)とPNG(1ｺﾏ)は、ﾌﾁの半透明をそのまま持てます。</source>
        <translation>The format saved and previewed. WebP (animations too) and PNG (one frame) keep partly see-through edges as they are.</translation>
    </message>
</context>
<context>
    <name>MainFormChoice</name>
    <message>
        <source>GIF画像(*.gif) (*.gif *.GIF)</source>
        <translation>GIF pictures (*.gif) (*.gif *.GIF)</translation>
    </message>
    <message>
        <source>WebP画像(*.webp) (*.webp *.WEBP)</source>
        <translation>WebP pictures (*.webp) (*.webp *.WEBP)</translation>
    </message>
    <message>
        <source>PNG画像(*.png) (*.png *.PNG)</source>
        <translation>PNG pictures (*.png) (*.png *.PNG)</translation>
    </message>
</context>
<context>
    <name>MainFormOpen</name>
    <message>
        <source>メモリが足りません</source>
        <translation>not enough memory</translation>
    </message>
</context>
<context>
    <name>NameList</name>
    <message>
        <source>tomaru: ファイル名の一覧「%1」を読み込めませんでした。(%2)</source>
        <translation>tomaru: the list of file names &quot;%1&quot; could not be read. (%2)</translation>
    </message>
</context>
<context>
    <name>OpenPreview</name>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
</context>
<context>
    <name>OutputPlan</name>
    <message>
        <source>「%1」</source>
        <translation>&quot;%1&quot;</translation>
    </message>
    <message>
        <source>出力先のフォルダ%1が存在しません。</source>
        <translation>The output folder %1 does not exist.</translation>
    </message>
    <message>
        <source>BMP ファイル%1は GIF で置き換えられません。-o か --suffix を使ってください。</source>
        <translation>The BMP file %1 cannot be replaced by a GIF. Use -o or --suffix.</translation>
    </message>
    <message>
        <source>出力先%1は入力ファイルです。入力を置き換えるのは --in-place のときだけです。</source>
        <translation>The output %1 is an input file. Inputs are replaced only with --in-place.</translation>
    </message>
    <message>
        <source>出力先%1に複数の入力が書かれます。</source>
        <translation>Several inputs would be written to the output %1.</translation>
    </message>
    <message>
        <source>-o の%1はフォルダではありません。入力が複数のときは、既存のフォルダを指定してください。</source>
        <translation>%1 given with -o is not a folder. With several inputs, give an existing folder.</translation>
    </message>
    <message>
        <source>入力%1は、この実行で先に出力先になったファイルです。</source>
        <translation>Input %1 is a file this run has already written as an output.</translation>
    </message>
</context>
<context>
    <name>Palette</name>
    <message>
        <source>ﾊﾟﾚｯﾄ情報</source>
        <translation>Palette</translation>
    </message>
    <message>
        <source>色情報</source>
        <translation>Colour</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>透過色に指定(&amp;T)</source>
        <translation>Make &amp;transparent</translation>
    </message>
    <message>
        <source>閉じる(&amp;C)</source>
        <translation>&amp;Close</translation>
    </message>
</context>
<context>
    <name>PictureFormats</name>
    <message>
        <source>認識できない画像形式です</source>
        <translation>unrecognised picture format</translation>
    </message>
    <message>
        <source>拡張子 .%1 の画像形式は処理できません</source>
        <translation>pictures with the extension .%1 cannot be handled</translation>
    </message>
</context>
<context>
    <name>PictureLimits</name>
    <message>
        <source>%1 x %2 ピクセルの画像は大きすぎるため表示できません</source>
        <translation>a picture of %1 x %2 pixels is too large to show</translation>
    </message>
</context>
<context>
    <name>PictureLoader</name>
    <message>
        <source>ファイル「%1」は%2画像として読み込めませんでした。</source>
        <translation>File &quot;%1&quot; could not be read as a %2 picture.</translation>
    </message>
    <message>
        <source>(%1)</source>
        <translation> (%1)</translation>
    </message>
    <message>
        <source>PNGでもJPEGでもありません</source>
        <translation>it is neither PNG nor JPEG</translation>
    </message>
    <message>
        <source>ファイルが途中で切れています</source>
        <translation>the file is cut short</translation>
    </message>
</context>
<context>
    <name>PictureModule</name>
    <message>
        <source>tomaru: 画像を読む部分を読み込めませんでした。(%1)</source>
        <translation>tomaru: could not load the part that reads pictures. (%1)</translation>
    </message>
</context>
<context>
    <name>PictureWork</name>
    <message>
        <source>ファイル「%1」を画像として読めません。(%2)</source>
        <translation>The file &quot;%1&quot; cannot be read as a picture. (%2)</translation>
    </message>
</context>
<context>
    <name>PluginListing</name>
    <message>
        <source>次のSusie Pluginは使えないため読み込みませんでした。<byte value="xd"/>
<byte value="xd"/>
</source>
        <translation>The following Susie plug-ins cannot be used and were not loaded.<byte value="xd"/>
<byte value="xd"/>
</translation>
    </message>
</context>
<context>
    <name>RecentFiles</name>
    <message>
        <source>「最近使ったﾌｧｲﾙ」の履歴を削除しますが、よろしいですか？</source>
        <translation>Delete the history of &quot;Recent files&quot;?</translation>
    </message>
</context>
<context>
    <name>SPI</name>
    <message>
        <source>%1:Susie Pluginがロードできませんでした</source>
        <translation>%1: the Susie plug-in could not be loaded</translation>
    </message>
    <message>
        <source>%1は[%2]では使えないSusie Plugin APIです</source>
        <translation>%1 is a Susie plug-in API that [%2] does not provide</translation>
    </message>
    <message>
        <source>%1:Susie Pluginの情報が多すぎます</source>
        <translation>%1: the Susie plug-in reports too much information</translation>
    </message>
</context>
<context>
    <name>SPIBmp</name>
    <message>
        <source>認識できない画像形式です</source>
        <translation>unrecognised picture format</translation>
    </message>
</context>
<context>
    <name>SPIs</name>
    <message>
        <source>TSPIs は複数生成できません</source>
        <translation>TSPIs can be created only once</translation>
    </message>
</context>
<context>
    <name>SaveName</name>
    <message>
        <source>ファイル「%1」は既にあります。置き換えますか?</source>
        <translation>File &quot;%1&quot; already exists. Replace it?</translation>
    </message>
    <message>
        <source>PNGに保存できるのは1ｺﾏだけです。ｱﾆﾒｰｼｮﾝはWebPを選んで保存して下さい。何も保存していません。</source>
        <translation>A PNG holds one frame only. Choose WebP to save an animation. Nothing was saved.</translation>
    </message>
</context>
<context>
    <name>SaveProp</name>
    <message>
        <source>Owner が TForm でないと設定できません</source>
        <translation>can be set only when Owner is a TForm</translation>
    </message>
    <message>
        <source>セクション名 %1 とキー名 %2 の組み合わせが重複しています</source>
        <translation>the section %1 and key %2 are used twice</translation>
    </message>
</context>
<context>
    <name>SetAside</name>
    <message>
        <source>%1 は設定ﾌｧｲﾙとしては大きすぎるため、%2 に名前を変えて残しました。<byte value="xd"/>
</source>
        <translation>%1 is too large for a settings file; it was kept, renamed to %2.<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>既定の設定で起動します。</source>
        <translation>Starting with the default settings.</translation>
    </message>
</context>
<context>
    <name>StartHint</name>
    <message>
        <source>GIF・BMP・PNG・JPEG の画像を開くか(Ctrl+O)、ここにﾄﾞﾛｯﾌﾟしてください。</source>
        <translation>Open a GIF, BMP, PNG or JPEG picture (Ctrl+O), or drop one here.</translation>
    </message>
    <message>
        <source>最近開いたﾌｧｲﾙ:</source>
        <translation>Recently opened files:</translation>
    </message>
</context>
<context>
    <name>Subtra</name>
    <message>
        <source>GIF画像として扱うためには256色以下に減色して下さい。</source>
        <translation>Reduce it to 256 colours or fewer to handle it as a GIF picture.</translation>
    </message>
    <message>
        <source>256色（8bit）</source>
        <translation>256 colours (8 bit)</translation>
    </message>
    <message>
        <source>16色（4bit）</source>
        <translation>16 colours (4 bit)</translation>
    </message>
    <message>
        <source>2色/白黒（1bit）</source>
        <translation>2 colours/black and white (1 bit)</translation>
    </message>
    <message>
        <source>使われている色数 : </source>
        <translation>Colours used : </translation>
    </message>
    <message>
        <source>%1色</source>
        <translation>%1 colours</translation>
    </message>
    <message>
        <source>256色（画像に合わせたﾊﾟﾚｯﾄ）</source>
        <translation>256 colours (a palette made for the picture)</translation>
    </message>
    <message>
        <source>ﾃﾞｨｻﾞﾘﾝｸﾞ</source>
        <translation>Dithering</translation>
    </message>
    <message>
        <source>%1画像の減色</source>
        <translation>Reducing the colours of a %1 picture</translation>
    </message>
    <message>
        <source>開いた%1画像は色数が多すぎるようです。</source>
        <translation>The opened %1 picture has too many colours.</translation>
    </message>
    <message>
        <source>キャンセル(&amp;C)</source>
        <translation>&amp;Cancel</translation>
    </message>
    <message>
        <source>ﾍﾙﾌﾟ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
</context>
<context>
    <name>main</name>
    <message>
        <source>tomaru: ウィンドウを開けませんでした。(%1)</source>
        <translation>tomaru: could not open the window. (%1)</translation>
    </message>
</context>
</TS>
