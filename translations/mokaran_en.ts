<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>AboutDialog</name>
    <message>
        <source>バージョン情報</source>
        <translation>About MOKARAN</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ver %1  (%2)</source>
        <translation>Version %1  (%2)</translation>
    </message>
    <message>
        <source>GNU General Public License v3.0 以降 (GPL-3.0-or-later) のもとで配布されるフリーソフトウェアです。</source>
        <translation>Free software, distributed under the GNU General Public License v3.0 or later (GPL-3.0-or-later).</translation>
    </message>
</context>
<context>
    <name>AnimationReading</name>
    <message>
        <source>アニメーションのフレームが多すぎます: %1 (上限 %2)</source>
        <translation>The animation has too many frames: %1 (at most %2)</translation>
    </message>
    <message>
        <source>アニメーションが大きすぎます: %1 x %2 のフレームが %3 枚</source>
        <translation>The animation is too large: %3 frames of %1 x %2</translation>
    </message>
</context>
<context>
    <name>Atlas</name>
    <message>
        <source>フレームの名前 %1 が重なっています</source>
        <translation>Two frames are named %1</translation>
    </message>
    <message>
        <source>フレームが %1 x %1 ピクセルに収まりません</source>
        <translation>The frames do not fit in %1 x %1 pixels</translation>
    </message>
</context>
<context>
    <name>BatchShrinkDialog</name>
    <message>
        <source>変換元フォルダ</source>
        <translation>Source folder</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse</translation>
    </message>
    <message>
        <source>保存先フォルダ</source>
        <translation>Destination folder</translation>
    </message>
    <message>
        <source>縮小開始</source>
        <translation>Start</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>フォルダを選択してください</source>
        <translation>Choose a Folder</translation>
    </message>
    <message>
        <source>変換元フォルダと保存先フォルダを「参照」で選んでください。</source>
        <translation>Choose the source and the destination folder with Browse.</translation>
    </message>
    <message>
        <source>保存先が変換元と同じフォルダです。元の画像を縮小した画像で置き換えますか?</source>
        <translation>The destination is the source folder. Replace the original pictures with the shrunk ones?</translation>
    </message>
    <message numerus="yes">
        <source>%n 個のファイルを %1 に書き込みました</source>
        <translation>
            <numerusform>%n file written to %1</numerusform>
            <numerusform>%n files written to %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source> (%n 個は変換できませんでした)</source>
        <translation>
            <numerusform> (%n could not be converted)</numerusform>
            <numerusform> (%n could not be converted)</numerusform>
        </translation>
    </message>
    <message>
        <source>ほか %1 件</source>
        <translation>and %1 more</translation>
    </message>
    <message>
        <source>次のファイルは変換できませんでした。

</source>
        <translation>These files could not be converted:

</translation>
    </message>
    <message>
        <source>変換元フォルダ 参照</source>
        <translation>Browse for the source folder</translation>
    </message>
    <message>
        <source>保存先フォルダ 参照</source>
        <translation>Browse for the destination folder</translation>
    </message>
    <message>
        <source>進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>フォルダ内JPEGファイル縮小</source>
        <translation>Shrink JPEG Files in a Folder</translation>
    </message>
    <message>
        <source>長い辺の長さ (ピクセル)</source>
        <translation>Longer side (pixels)</translation>
    </message>
    <message>
        <source>縮小後の画像の長い辺 (横長なら幅、縦長なら高さ) のピクセル数</source>
        <translation>The length of each shrunk picture&apos;s longer side (its width when landscape, its height when portrait), in pixels</translation>
    </message>
    <message>
        <source>撮影日時・カメラ・位置情報・著作権・カラープロファイルを縮小した画像にも書き込みます</source>
        <translation>Writes the date taken, camera, location, copyright and colour profile into the shrunk pictures too</translation>
    </message>
    <message>
        <source>撮影情報 (EXIF など) を残す</source>
        <translation>Keep photo information (EXIF etc.)</translation>
    </message>
</context>
<context>
    <name>ColourSpace</name>
    <message>
        <source>ガンマ %1</source>
        <translation>gamma %1</translation>
    </message>
    <message>
        <source>埋め込みのカラープロファイル</source>
        <translation>the embedded colour profile</translation>
    </message>
    <message>
        <source>色を sRGB に変換しました (%1)</source>
        <translation>Colours converted to sRGB (%1)</translation>
    </message>
</context>
<context>
    <name>CommandLine</name>
    <message>
        <source>%1 はフォルダではありません</source>
        <translation>%1 is not a folder</translation>
    </message>
    <message>
        <source>メモリが不足しています</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>書き出すタイルがありません (どのタイルも単色です)</source>
        <translation>No tiles to write (every tile is a single color)</translation>
    </message>
</context>
<context>
    <name>CutSizeDialog</name>
    <message>
        <source>切り取り画像サイズ設定</source>
        <translation>Cut Size</translation>
    </message>
    <message>
        <source>任意の切り取りサイズ</source>
        <translation>Free cut size</translation>
    </message>
    <message>
        <source>横幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高さ</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>決定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>任意切り取りサイズ</source>
        <translation>Free size</translation>
    </message>
    <message>
        <source>背景だけの行と列から格子を見つけ、切り取りサイズ、切り取り枠の位置、格子の間隔に設定します</source>
        <translation>Finds the grid from the rows and columns that are only background, and sets the cut size, the cut frame&apos;s position and the grid&apos;s gaps to it</translation>
    </message>
    <message>
        <source>格子を推定</source>
        <translation>Guess Grid</translation>
    </message>
    <message>
        <source>%1 × %2 ピクセルの升目が %3 列 × %4 行 (間隔 %5, %6)</source>
        <translation>Cells of %1 × %2 pixels, %3 columns × %4 rows (gaps %5, %6)</translation>
    </message>
</context>
<context>
    <name>Edits</name>
    <message>
        <source>ぼかし(&amp;S)</source>
        <translation>&amp;Blur</translation>
    </message>
    <message>
        <source>レベル補正</source>
        <translation>&amp;Level Correction</translation>
    </message>
    <message>
        <source>シャープネス(&amp;H)</source>
        <translation>S&amp;harpen</translation>
    </message>
    <message>
        <source>拡大縮小(&amp;X)…</source>
        <translation>Resi&amp;ze...</translation>
    </message>
    <message>
        <source>回転(&amp;R)…</source>
        <translation>R&amp;otate...</translation>
    </message>
    <message>
        <source>コントラスト強調(&amp;C)…</source>
        <translation>&amp;Contrast...</translation>
    </message>
    <message>
        <source>ガンマ補正(&amp;G)…</source>
        <translation>&amp;Gamma Correction...</translation>
    </message>
</context>
<context>
    <name>ErrorBox</name>
    <message>
        <source>メモリが不足しています</source>
        <translation>Not enough memory</translation>
    </message>
</context>
<context>
    <name>Files</name>
    <message>
        <source>通常のファイルではありません</source>
        <translation>Not a regular file</translation>
    </message>
    <message>
        <source>%1 を読み込めません (%2)</source>
        <translation>Cannot read %1 (%2)</translation>
    </message>
    <message>
        <source>%1 に書き込めません (%2)</source>
        <translation>Cannot write %1 (%2)</translation>
    </message>
    <message>
        <source>%1 ファイルが壊れています</source>
        <translation>The %1 file is damaged</translation>
    </message>
    <message>
        <source>%1 ファイルが途中で切れています</source>
        <translation>The %1 file is cut short</translation>
    </message>
    <message>
        <source>ファイルが大きすぎます</source>
        <translation>The file is too large</translation>
    </message>
    <message>
        <source>画像が大きすぎます: %1 x %2</source>
        <translation>The picture is too large: %1 x %2</translation>
    </message>
    <message>
        <source>画像がありません</source>
        <translation>There is no picture</translation>
    </message>
    <message>
        <source>フォルダ %1 に書き込む権限がありません</source>
        <translation>no permission to write to folder %1</translation>
    </message>
    <message>
        <source>読み取り専用のディスクです</source>
        <translation>the disk is read-only</translation>
    </message>
    <message>
        <source>同じ名前のフォルダがあります</source>
        <translation>a folder of the same name exists</translation>
    </message>
    <message>
        <source>読み取り専用のファイルです</source>
        <translation>the file is read-only</translation>
    </message>
    <message>
        <source>フォルダ %1 を開く権限がありません</source>
        <translation>no permission to open folder %1</translation>
    </message>
    <message>
        <source>%1 ファイルのデータが %2 x %3 の画像には足りません</source>
        <translation>the %1 file holds too little data for a %2 x %3 picture</translation>
    </message>
    <message>
        <source>ファイルではなくフォルダです</source>
        <translation>it is a folder, not a file</translation>
    </message>
    <message>
        <source>書き込むファイルの名前が空です</source>
        <translation>The name of the file to write is empty</translation>
    </message>
    <message>
        <source>ファイルが空です</source>
        <translation>The file is empty</translation>
    </message>
    <message>
        <source>フォルダ %1 がありません</source>
        <translation>folder %1 does not exist</translation>
    </message>
    <message>
        <source> と </source>
        <translation> and </translation>
    </message>
    <message>
        <source>%1。%2 は元のままです</source>
        <translation>%1. %2: kept as they were</translation>
    </message>
    <message>
        <source>%1。%2 は新しく書き込まれ、%3 は元のままです</source>
        <translation>%1. %2: written anew; %3: kept as they were</translation>
    </message>
    <message>
        <source>%1 は読み込む画像 %2 と同じファイルです</source>
        <translation>%1 is the picture being read, %2</translation>
    </message>
    <message>
        <source>%1 と %2 は同じファイルです</source>
        <translation>%1 and %2 are the same file</translation>
    </message>
</context>
<context>
    <name>FrameBarWidget</name>
    <message>
        <source>アニメーションを再生します</source>
        <translation>Plays the animation</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>フレーム</source>
        <translation>Frame</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>フレーム %1 / %2</source>
        <translation>Frame %1 / %2</translation>
    </message>
</context>
<context>
    <name>FrameOutput</name>
    <message>
        <source>%1: シートやアトラスの名前は .png で終わる必要があります</source>
        <translation>%1: the name of a sheet or an atlas must end in .png</translation>
    </message>
    <message>
        <source>アニメーションのフレームが多すぎます: %1 (上限 %2)</source>
        <translation>too many animation frames: %1 (at most %2)</translation>
    </message>
    <message>
        <source>シートやアトラスのフレームが多すぎます: %1 (上限 %2)</source>
        <translation>too many frames for a sheet or an atlas: %1 (at most %2)</translation>
    </message>
    <message>
        <source>シートが大きすぎます: %1 x %2 (画像は %3 MB まで)</source>
        <translation>the sheet is too large: %1 x %2 (a picture may take up to %3 MB)</translation>
    </message>
    <message>
        <source>警告: %1 ミリ秒の間隔はブラウザでは 100 ミリ秒で再生されます (GIF は %2 ミリ秒以上にしてください)</source>
        <translation>Warning: browsers play a delay of %1 ms as 100 ms (give a GIF %2 ms or more)</translation>
    </message>
</context>
<context>
    <name>FramePositionDialog</name>
    <message>
        <source>切り取り位置を指定</source>
        <translation>Set Frame Position</translation>
    </message>
    <message>
        <source>切り取り枠の左上の位置</source>
        <translation>Top-left corner of the frame</translation>
    </message>
    <message>
        <source>決定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>GifAnimation</name>
    <message>
        <source>GIF を作れません (%1)</source>
        <translation>Cannot encode as GIF (%1)</translation>
    </message>
    <message>
        <source>GIF にできない大きさです (%1 x %2)</source>
        <translation>A GIF cannot have this size (%1 x %2)</translation>
    </message>
    <message>
        <source>GIF のフレームの大きさが違います</source>
        <translation>The GIF frames differ in size</translation>
    </message>
    <message>
        <source>GIF のパレットを作れません</source>
        <translation>Cannot make a palette for the GIF</translation>
    </message>
    <message>
        <source>GIF は最も低い画質でも %1 バイトになり、%2 バイトに収まりません</source>
        <translation>The GIF takes %1 bytes even at the lowest quality, more than the %2 allowed</translation>
    </message>
</context>
<context>
    <name>HelpWindow</name>
    <message>
        <source>ヘルプ</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>ヘルプの本文</source>
        <translation>Help text</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>ImportDialog</name>
    <message>
        <source>画像ファイル読込み</source>
        <translation>Load Picture</translation>
    </message>
    <message>
        <source>画像ファイルのパス (「参照」で選ぶか入力して Enter)</source>
        <translation>Picture file (choose it with Browse, or type its path and press Enter)</translation>
    </message>
    <message>
        <source>参照</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>決定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>%1 が見つかりません。</source>
        <translation>%1 was not found.</translation>
    </message>
    <message>
        <source>読み込む画像ファイルを「参照」で選ぶか、パスを入力してください。</source>
        <translation>Choose the picture file to load with Browse, or type its path.</translation>
    </message>
    <message>
        <source>イメージファイル(*.bmp, *.jpg, *.jpeg, *.png, *.gif, *.webp, *.tif, *.tiff, *.tga)|*.bmp; *.jpg; *.jpeg; *.png; *.gif; *.webp; *.tif; *.tiff; *.tga</source>
        <translation>Picture Files (*.bmp, *.jpg, *.jpeg, *.png, *.gif, *.webp, *.tif, *.tiff, *.tga)|*.bmp; *.jpg; *.jpeg; *.png; *.gif; *.webp; *.tif; *.tiff; *.tga</translation>
    </message>
    <message>
        <source>%1 は読み込めません。BMP、JPEG、PNG、GIF、WebP、TIFF、TGA の画像ファイルを選んでください。</source>
        <translation>%1 cannot be loaded. Choose a BMP, JPEG, PNG, GIF, WebP, TIFF or TGA picture file.</translation>
    </message>
    <message>
        <source>画像ファイルのパス</source>
        <translation>Picture file path</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
</context>
<context>
    <name>IoError</name>
    <message>
        <source>ファイルが見つかりません</source>
        <translation>File not found</translation>
    </message>
    <message>
        <source>不正なファイル名です</source>
        <translation>Invalid file name</translation>
    </message>
    <message>
        <source>オープンしたファイルが多すぎます</source>
        <translation>Too many open files</translation>
    </message>
    <message>
        <source>ファイルへのアクセスが拒否されました</source>
        <translation>File access denied</translation>
    </message>
    <message>
        <source>ファイルの末尾以降を読み込みました</source>
        <translation>Read beyond the end of the file</translation>
    </message>
    <message>
        <source>ディスクがいっぱいです</source>
        <translation>Disk full</translation>
    </message>
    <message>
        <source>入力値が数値ではありません</source>
        <translation>Invalid numeric format</translation>
    </message>
    <message>
        <source>I/O エラー (%1)</source>
        <translation>I/O error (%1)</translation>
    </message>
    <message>
        <source>読み込みを中止しました</source>
        <translation>Reading was cancelled</translation>
    </message>
    <message>
        <source>ファイル名が長すぎます</source>
        <translation>File name too long</translation>
    </message>
    <message>
        <source>シンボリックリンクがループしています</source>
        <translation>Too many levels of symbolic links</translation>
    </message>
</context>
<context>
    <name>JpegCodec</name>
    <message>
        <source>ファイルが空です</source>
        <translation>The file is empty</translation>
    </message>
    <message>
        <source>JPEG ファイルではありません</source>
        <translation>Not a JPEG file</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>この形式の JPEG には対応していません</source>
        <translation>This kind of JPEG is not supported</translation>
    </message>
    <message>
        <source>JPEG に変換できません</source>
        <translation>Cannot encode as JPEG</translation>
    </message>
    <message>
        <source>この色形式の JPEG には対応していません</source>
        <translation>This JPEG color format is not supported</translation>
    </message>
    <message>
        <source>JPEG ファイルのスキャンが多すぎます</source>
        <translation>the JPEG file has too many scans</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>画像の大きさ</source>
        <translation>Picture size</translation>
    </message>
    <message>
        <source>横幅</source>
        <translation>Width</translation>
    </message>
    <message>
        <source>高さ</source>
        <translation>Height</translation>
    </message>
    <message>
        <source>切り取り画像サイズ</source>
        <translation>Cut size</translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation>&amp;Edit</translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation>&amp;Tools</translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>取り消し</source>
        <translation>&amp;Undo</translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation>Ctrl+Z</translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation>&amp;Redo</translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation>Re&amp;vert to Loaded Picture</translation>
    </message>
    <message>
        <source>スクリーンキャプチャー</source>
        <translation>Capture &amp;Screen</translation>
    </message>
    <message>
        <source>アクティブウインドウキャプチャー</source>
        <translation>Capture Active &amp;Window</translation>
    </message>
    <message>
        <source>縮小</source>
        <translation>Shrink</translation>
    </message>
    <message>
        <source>縮小幅設定</source>
        <translation>Picture Width</translation>
    </message>
    <message>
        <source>縮小時の画像幅を設定してください</source>
        <translation>New width of the picture:</translation>
    </message>
    <message>
        <source>画像回転設定</source>
        <translation>Rotate</translation>
    </message>
    <message>
        <source>回転角度を設定してください</source>
        <translation>Angle of rotation in degrees:</translation>
    </message>
    <message>
        <source>コントラスト設定</source>
        <translation>Contrast</translation>
    </message>
    <message>
        <source>コントラスト値を設定してください(0.01～1)</source>
        <translation>Contrast (0.01 to 1):</translation>
    </message>
    <message>
        <source>ガンマ補正設定</source>
        <translation>Gamma Correction</translation>
    </message>
    <message>
        <source>ガンマ値を設定してください(0.01～3)</source>
        <translation>Gamma (0.01 to 3):</translation>
    </message>
    <message>
        <source>元に戻す</source>
        <translation>Revert</translation>
    </message>
    <message>
        <source>ブラウザーを開けませんでした。次の場所をブラウザーで開いてください:
%1</source>
        <translation>No web browser could be started. Open this location in a browser:
%1</translation>
    </message>
    <message>
        <source>倍率</source>
        <translation>Zoom</translation>
    </message>
    <message>
        <source>位置</source>
        <translation>Position</translation>
    </message>
    <message>
        <source>切り取り枠の左上の位置 (X, Y)。ダブルクリックで指定できます</source>
        <translation>Top-left corner of the frame (X, Y). Double-click to set it</translation>
    </message>
    <message>
        <source>カーソル</source>
        <translation>Cursor</translation>
    </message>
    <message>
        <source>ポインターの下の画素の位置 (X, Y) と色 (R, G, B)</source>
        <translation>Position (X, Y) and color (R, G, B) of the pixel under the pointer</translation>
    </message>
    <message>
        <source>最近使ったファイル(&amp;F)</source>
        <translation>Recent &amp;Files</translation>
    </message>
    <message>
        <source>表示(&amp;V)</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>切り取り位置を指定(&amp;P)…</source>
        <translation>Set Frame &amp;Position...</translation>
    </message>
    <message>
        <source>拡大(&amp;I)</source>
        <translation>Zoom &amp;In</translation>
    </message>
    <message>
        <source>縮小(&amp;O)</source>
        <translation>Zoom &amp;Out</translation>
    </message>
    <message>
        <source>等倍(&amp;A)</source>
        <translation>&amp;Actual Size</translation>
    </message>
    <message>
        <source>ウィンドウに合わせる(&amp;F)</source>
        <translation>&amp;Fit to Window</translation>
    </message>
    <message>
        <source>ピクセルグリッド (600%以上)(&amp;G)</source>
        <translation>Pixel &amp;Grid (600% and Above)</translation>
    </message>
    <message>
        <source>ビットマップファイル(*.bmp)|*.bmp|JPEGファイル(*.jpg)|*.jpg|PNGファイル(*.png)|*.png|WebPファイル(*.webp)|*.webp</source>
        <translation>Bitmap Files (*.bmp)|*.bmp|JPEG Files (*.jpg)|*.jpg|PNG Files (*.png)|*.png|WebP Files (*.webp)|*.webp</translation>
    </message>
    <message>
        <source>%1 が見つかりません</source>
        <translation>%1 was not found</translation>
    </message>
    <message>
        <source>画像</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>画像と切り取り枠</source>
        <translation>Picture and cut frame</translation>
    </message>
    <message>
        <source>画像ファイル読込み(&amp;L)</source>
        <translation>&amp;Load Picture...</translation>
    </message>
    <message>
        <source>切り取り画像サイズ設定(&amp;Z)</source>
        <translation>Cut Si&amp;ze...</translation>
    </message>
    <message>
        <source>画像切り取り(&amp;C)</source>
        <translation>Save &amp;Cut...</translation>
    </message>
    <message>
        <source>連続画像切り取り(&amp;Q)</source>
        <translation>Se&amp;quence...</translation>
    </message>
    <message>
        <source>アルファ合成(&amp;A)</source>
        <translation>&amp;Alpha Blend...</translation>
    </message>
    <message>
        <source>フェードアウト(&amp;D)</source>
        <translation>Fa&amp;de Out...</translation>
    </message>
    <message>
        <source>画像ファイルを読込む(&amp;R)…</source>
        <translation>&amp;Load Picture...</translation>
    </message>
    <message>
        <source>表示中の画像を保存する(&amp;S)…</source>
        <translation>&amp;Save Picture As...</translation>
    </message>
    <message>
        <source>スクリーンキャプチャー(縮小)…</source>
        <translation>Capture Screen and S&amp;hrink...</translation>
    </message>
    <message>
        <source>アクティブウインドウキャプチャー(縮小)…</source>
        <translation>Capture Active Window and Shrin&amp;k...</translation>
    </message>
    <message>
        <source>簡易ホームページ作成…</source>
        <translation>&amp;Mobile Page Maker...</translation>
    </message>
    <message>
        <source>フォルダ内JPEGファイル縮小…</source>
        <translation>Shrink &amp;JPEG Files in a Folder...</translation>
    </message>
    <message>
        <source>使い方(&amp;H)</source>
        <translation>&amp;User Guide</translation>
    </message>
    <message>
        <source>readmeを開く(&amp;R)</source>
        <translation>Open &amp;Readme</translation>
    </message>
    <message>
        <source>バージョン情報(&amp;V)…</source>
        <translation>&amp;About MOKARAN...</translation>
    </message>
    <message>
        <source>拡大縮小</source>
        <translation>Resize</translation>
    </message>
    <message>
        <source>新しい画像の幅を設定してください (ピクセル)</source>
        <translation>Set the picture&apos;s new width (pixels)</translation>
    </message>
    <message>
        <source>画像ファイルを開きます (Ctrl+O)</source>
        <translation>Opens a picture file (Ctrl+O)</translation>
    </message>
    <message>
        <source>切り取り枠の大きさを設定します</source>
        <translation>Sets the size of the cut frame</translation>
    </message>
    <message>
        <source>切り取り枠の中を 1 つのファイルに保存します</source>
        <translation>Saves what lies in the cut frame as one file</translation>
    </message>
    <message>
        <source>切り取り枠を少しずつ動かしながら、連続したフレームを書き出します</source>
        <translation>Writes a run of frames, moving the cut frame step by step</translation>
    </message>
    <message>
        <source>切り取り枠の中が合成用画像へ次第に変わる 21 枚のフレームを書き出します</source>
        <translation>Writes 21 frames in which the cut turns step by step into the blend picture</translation>
    </message>
    <message>
        <source>白または黒から切り取り枠の中の画像が次第に現れる 21 枚のフレーム (フェードイン) を書き出します。逆の順に再生すればフェードアウトになります</source>
        <translation>Writes 21 frames in which the cut appears step by step from white or black (a fade-in); played backwards they fade out</translation>
    </message>
</context>
<context>
    <name>OutputDialog</name>
    <message>
        <source>画像を保存する</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存する</source>
        <translation>Save...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>合成用画像を開く</source>
        <translation>Open Blend Picture...</translation>
    </message>
    <message>
        <source>作成進行状況</source>
        <translation>Progress</translation>
    </message>
    <message>
        <source>移動量</source>
        <translation>Step</translation>
    </message>
    <message>
        <source>切り取りサイズ</source>
        <translation>Cut size</translation>
    </message>
    <message>
        <source>移動動作</source>
        <translation>Direction</translation>
    </message>
    <message>
        <source>右へ</source>
        <translation>Right</translation>
    </message>
    <message>
        <source>左へ</source>
        <translation>Left</translation>
    </message>
    <message>
        <source>下へ</source>
        <translation>Down</translation>
    </message>
    <message>
        <source>上へ</source>
        <translation>Up</translation>
    </message>
    <message>
        <source>画像切り取り</source>
        <translation>Save Cut</translation>
    </message>
    <message>
        <source>連続画像切り取り</source>
        <translation>Sequence</translation>
    </message>
    <message>
        <source>アルファ合成</source>
        <translation>Alpha Blend</translation>
    </message>
    <message>
        <source>フェードアウト</source>
        <translation>Fade Out</translation>
    </message>
    <message>
        <source>オプション</source>
        <translation>Options</translation>
    </message>
    <message>
        <source>ノーマル</source>
        <translation>Normal</translation>
    </message>
    <message>
        <source>白を透過させる</source>
        <translation>White is transparent</translation>
    </message>
    <message>
        <source>色を選択してください</source>
        <translation>Fade from</translation>
    </message>
    <message>
        <source>白</source>
        <translation>White</translation>
    </message>
    <message>
        <source>黒</source>
        <translation>Black</translation>
    </message>
    <message>
        <source>合成用画像: %1</source>
        <translation>Blend with: %1</translation>
    </message>
    <message>
        <source>格子</source>
        <translation>Grid</translation>
    </message>
    <message>
        <source>枠の位置から、切り取りサイズのタイルを左から右へ、上から下へ順に書き出します</source>
        <translation>Writes the tiles of the cut size from the frame on, left to right, then top to bottom</translation>
    </message>
    <message>
        <source>格子の間隔 X, Y</source>
        <translation>Grid gap X, Y</translation>
    </message>
    <message>
        <source>単色のタイルは書き出さない</source>
        <translation>Skip single-color tiles</translation>
    </message>
    <message>
        <source>出力形式</source>
        <translation>Output format</translation>
    </message>
    <message>
        <source>連番ファイル</source>
        <translation>Numbered files</translation>
    </message>
    <message>
        <source>アニメーション</source>
        <translation>Animation</translation>
    </message>
    <message>
        <source>スプライトシート</source>
        <translation>Sprite sheet</translation>
    </message>
    <message>
        <source>間隔(ミリ秒)</source>
        <translation>Delay (ms)</translation>
    </message>
    <message>
        <source>往復</source>
        <translation>Ping-pong</translation>
    </message>
    <message>
        <source>画質</source>
        <translation>Quality</translation>
    </message>
    <message>
        <source>可逆</source>
        <translation>Lossless</translation>
    </message>
    <message>
        <source>列数</source>
        <translation>Columns</translation>
    </message>
    <message>
        <source>余白</source>
        <translation>Padding</translation>
    </message>
    <message>
        <source>ビットマップファイル(*.bmp)|*.bmp|PNGファイル(*.png)|*.png</source>
        <translation>Bitmap Files (*.bmp)|*.bmp|PNG Files (*.png)|*.png</translation>
    </message>
    <message>
        <source>GIFアニメーション(*.gif)|*.gif|WebPアニメーション(*.webp)|*.webp</source>
        <translation>GIF Animations (*.gif)|*.gif|WebP Animations (*.webp)|*.webp</translation>
    </message>
    <message>
        <source>PNGファイル(*.png)|*.png</source>
        <translation>PNG Files (*.png)|*.png</translation>
    </message>
    <message>
        <source>ファイル</source>
        <translation>File</translation>
    </message>
    <message>
        <source>書き出すタイルがありません (どのタイルも単色です)</source>
        <translation>No tiles to write (every tile is a single color)</translation>
    </message>
    <message>
        <source>%1 を書き込みました</source>
        <translation>%1 written</translation>
    </message>
    <message>
        <source> と </source>
        <translation> and </translation>
    </message>
    <message>
        <source>格子の間隔 X</source>
        <translation>Grid gap X</translation>
    </message>
    <message>
        <source>格子の間隔 Y</source>
        <translation>Grid gap Y</translation>
    </message>
    <message>
        <source>再生</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>停止</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>プレビュー</source>
        <translation>Preview</translation>
    </message>
    <message>
        <source>大 (15 ピクセル)</source>
        <translation>Large (15 pixels)</translation>
    </message>
    <message>
        <source>中 (8 ピクセル)</source>
        <translation>Medium (8 pixels)</translation>
    </message>
    <message>
        <source>小 (3 ピクセル)</source>
        <translation>Small (3 pixels)</translation>
    </message>
    <message>
        <source>1 ピクセル</source>
        <translation>1 pixel</translation>
    </message>
    <message>
        <source>切り取りサイズの幅 (上下なら高さ) ずつ移動し、重ならないフレームを書き出します</source>
        <translation>Moves by the cut&apos;s width (its height up or down), writing frames that do not overlap</translation>
    </message>
    <message>
        <source>書き出しを止めます。書き終えたファイルはそのまま残ります</source>
        <translation>Stops writing; the files already written stay as they are</translation>
    </message>
    <message>
        <source>フレームを 1 枚ずつ、番号を付けたファイルに書き出します</source>
        <translation>Writes each frame to a file of its own, numbered</translation>
    </message>
    <message>
        <source>すべてのフレームを 1 つの GIF または WebP アニメーションに書き出します</source>
        <translation>Writes all the frames to one GIF or WebP animation</translation>
    </message>
    <message>
        <source>すべてのフレームを 1 枚の PNG に並べ、各フレームの位置を同じ名前の JSON ファイルに書き出します</source>
        <translation>Lays all the frames out on one PNG and writes where each frame lies to a JSON file of the same name</translation>
    </message>
    <message>
        <source>24 ビットの BMP ファイル。透明な部分は白になります</source>
        <translation>24-bit BMP files; transparent parts become white</translation>
    </message>
    <message>
        <source>PNG ファイル。透明な部分もそのまま残ります</source>
        <translation>PNG files; transparent parts stay transparent</translation>
    </message>
    <message>
        <source>GIF アニメーション。1 フレーム 256 色までで、どのブラウザーでも動きます</source>
        <translation>A GIF animation: up to 256 colours a frame, plays in every browser</translation>
    </message>
    <message>
        <source>WebP アニメーション。フルカラーと半透明を保ち、可逆か画質を選べます</source>
        <translation>A WebP animation: keeps full colour and partial transparency, lossless or at a quality you choose</translation>
    </message>
    <message>
        <source>1 フレームを表示する時間 (1/1000 秒)</source>
        <translation>How long each frame shows, in milliseconds</translation>
    </message>
    <message>
        <source>最後のフレームまで進んだら、逆の順に最初まで戻ります</source>
        <translation>After the last frame, plays back to the first in reverse</translation>
    </message>
    <message>
        <source>画質を落とさずに圧縮します。外すと画質を選べます</source>
        <translation>Compresses without losing quality; clear it to choose a quality</translation>
    </message>
    <message>
        <source>非可逆圧縮の画質: 0 (ファイルが最も小さい) ～ 100 (最も高画質)</source>
        <translation>Lossy quality: 0 (smallest file) to 100 (best picture)</translation>
    </message>
    <message>
        <source>シートの 1 行に並べるフレームの数</source>
        <translation>Frames in each row of the sheet</translation>
    </message>
    <message>
        <source>フレームの間とシートの縁に空けるピクセル数</source>
        <translation>Pixels left between the frames and around the sheet&apos;s edge</translation>
    </message>
    <message>
        <source>書き出すフレームを順に再生します</source>
        <translation>Plays the frames that would be written, in order</translation>
    </message>
    <message>
        <source>再生を停止</source>
        <translation>Stop playing</translation>
    </message>
    <message>
        <source>再生を止めます</source>
        <translation>Stops playing</translation>
    </message>
    <message>
        <source> ～ </source>
        <translation> to </translation>
    </message>
    <message numerus="yes">
        <source> (単色のタイル %n 個は書き出していません)</source>
        <translation>
            <numerusform> (%n single-colour tile left out)</numerusform>
            <numerusform> (%n single-colour tiles left out)</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 個のファイルを書き出します。続けますか?</source>
        <translation>
            <numerusform>This writes %n file. Go on?</numerusform>
            <numerusform>This writes %n files. Go on?</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n 個のファイルを書き込みました: %1</source>
        <translation>
            <numerusform>Wrote %n file: %1</numerusform>
            <numerusform>Wrote %n files: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>停止しました。ファイルは書き込んでいません</source>
        <translation>Stopped. No file was written</translation>
    </message>
    <message numerus="yes">
        <source>停止しました。%n 個のファイルを書き込みました: %1</source>
        <translation>
            <numerusform>Stopped. Wrote %n file: %1</numerusform>
            <numerusform>Stopped. Wrote %n files: %1</numerusform>
        </translation>
    </message>
    <message>
        <source>自動検出</source>
        <translation>Find sprites</translation>
    </message>
    <message>
        <source>背景の上のスプライトを見つけ、1 つずつその大きさで書き出します</source>
        <translation>Finds the sprites on the background and writes each at its own size</translation>
    </message>
    <message>
        <source>スプライトの検出</source>
        <translation>Sprite finding</translation>
    </message>
    <message>
        <source>背景</source>
        <translation>Background</translation>
    </message>
    <message>
        <source>スプライトでない部分: 透明なピクセル、画像の四隅の色、または選んだ色</source>
        <translation>What is not a sprite: transparent pixels, the colour of the picture&apos;s four corners, or a colour you choose</translation>
    </message>
    <message>
        <source>色…</source>
        <translation>Colour…</translation>
    </message>
    <message>
        <source>背景の色を選びます</source>
        <translation>Chooses the background colour</translation>
    </message>
    <message>
        <source>許容差</source>
        <translation>Tolerance</translation>
    </message>
    <message>
        <source>背景の色から各チャンネルがこの値まで離れていても背景とみなします (JPEG は 24 程度)</source>
        <translation>A pixel counts as background while each channel is at most this far from the background colour (about 24 for a JPEG)</translation>
    </message>
    <message>
        <source>結合距離</source>
        <translation>Merge distance</translation>
    </message>
    <message>
        <source>この距離 (ピクセル) より近い部分を 1 つのスプライトにまとめます</source>
        <translation>Parts closer than this distance (pixels) become one sprite</translation>
    </message>
    <message>
        <source>最小面積</source>
        <translation>Least area</translation>
    </message>
    <message>
        <source>これより小さい (幅×高さ) 部分はごみとして無視します</source>
        <translation>Parts smaller than this (width × height) are ignored as specks</translation>
    </message>
    <message>
        <source>アトラス</source>
        <translation>Atlas</translation>
    </message>
    <message>
        <source>すべてのフレームを 1 枚の PNG に隙間なく詰め、各フレームの位置をゲームエンジンが読める同じ名前の JSON ファイルに書き出します</source>
        <translation>Packs every frame tightly into one PNG and writes where each frame is to a JSON file of the same name that game engines read</translation>
    </message>
    <message>
        <source>JSON の形: hash (フレーム名で引く。Phaser、PixiJS の標準) または array (フレームの並び)</source>
        <translation>The JSON&apos;s layout: hash (frames keyed by name, what Phaser and PixiJS expect) or array (the frames in order)</translation>
    </message>
    <message>
        <source>透明な縁を切り詰める</source>
        <translation>Trim transparent edges</translation>
    </message>
    <message>
        <source>各フレームの周りの完全に透明な部分を除いて詰めます (元の位置は JSON に残ります)</source>
        <translation>Packs each frame without the fully transparent parts around it (the JSON keeps where they were)</translation>
    </message>
    <message>
        <source>外周</source>
        <translation>Border</translation>
    </message>
    <message>
        <source>フレームとアトラスの縁の間に空けるピクセル数</source>
        <translation>Pixels left between the frames and the atlas&apos;s edge</translation>
    </message>
    <message>
        <source>押し出し</source>
        <translation>Extrude</translation>
    </message>
    <message>
        <source>各フレームの縁のピクセルを外側へこの幅だけ繰り返します (表示の継ぎ目を防ぎます)</source>
        <translation>Repeats each frame&apos;s edge pixels outward by this width (prevents seams when drawn)</translation>
    </message>
    <message>
        <source>2 のべき乗</source>
        <translation>Power of two</translation>
    </message>
    <message>
        <source>アトラスの幅と高さを 2 のべき乗 (256, 512, 1024 …) に切り上げます</source>
        <translation>Rounds the atlas&apos;s width and height up to powers of two (256, 512, 1024 …)</translation>
    </message>
    <message>
        <source>最大サイズ</source>
        <translation>Largest size</translation>
    </message>
    <message>
        <source>アトラスの幅と高さの上限 (ピクセル)。収まらないときはそう伝えます</source>
        <translation>The most the atlas&apos;s width and height may be (pixels); you are told when the frames do not fit</translation>
    </message>
    <message>
        <source>同じフレームも保存</source>
        <translation>Keep duplicate frames</translation>
    </message>
    <message>
        <source>同じ内容のフレームも 1 つずつ保存します (外すと 1 つだけ保存し、JSON の両方の名前がそれを指します)</source>
        <translation>Stores frames with the same content each on its own (unchecked, one is stored and both names in the JSON point to it)</translation>
    </message>
    <message>
        <source>フレームの間に空けるピクセル数</source>
        <translation>Pixels left between the frames</translation>
    </message>
    <message>
        <source>透明</source>
        <translation>Transparent</translation>
    </message>
    <message>
        <source>四隅の色</source>
        <translation>Corner colour</translation>
    </message>
    <message>
        <source>指定した色</source>
        <translation>Chosen colour</translation>
    </message>
    <message>
        <source>背景の色</source>
        <translation>Background Colour</translation>
    </message>
    <message numerus="yes">
        <source>スプライト: %n 個</source>
        <translation>
            <numerusform>Sprites: %n</numerusform>
            <numerusform>Sprites: %n</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>Page</name>
    <message>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>画像 ファイル存在ＵＲＬ</source>
        <translation>Picture File URL</translation>
    </message>
    <message>
        <source>テキスト</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>リンク１ 表示テキスト</source>
        <translation>Link 1 Text</translation>
    </message>
    <message>
        <source>リンク１ リンク先ＵＲＬ</source>
        <translation>Link 1 URL</translation>
    </message>
    <message>
        <source>リンク２ 表示テキスト</source>
        <translation>Link 2 Text</translation>
    </message>
    <message>
        <source>リンク２ リンク先ＵＲＬ</source>
        <translation>Link 2 URL</translation>
    </message>
    <message>
        <source>リンク３ 表示テキスト</source>
        <translation>Link 3 Text</translation>
    </message>
    <message>
        <source>リンク３ リンク先ＵＲＬ</source>
        <translation>Link 3 URL</translation>
    </message>
    <message>
        <source>リンク４ 表示テキスト</source>
        <translation>Link 4 Text</translation>
    </message>
    <message>
        <source>リンク４ リンク先ＵＲＬ</source>
        <translation>Link 4 URL</translation>
    </message>
    <message>
        <source>リンク５ 表示テキスト</source>
        <translation>Link 5 Text</translation>
    </message>
    <message>
        <source>リンク５ リンク先ＵＲＬ</source>
        <translation>Link 5 URL</translation>
    </message>
    <message>
        <source>下のテキスト</source>
        <translation>Bottom Text</translation>
    </message>
    <message>
        <source>「%1」</source>
        <translation> “%1”</translation>
    </message>
    <message>
        <source>「%1」に Shift-JIS で書けない文字%2があります</source>
        <translation>“%1” holds a character%2 that Shift-JIS cannot encode</translation>
    </message>
    <message>
        <source>Shift-JIS に変換できません</source>
        <translation>Cannot convert to Shift-JIS</translation>
    </message>
    <message>
        <source>「%1」に改行があります</source>
        <translation>“%1” holds a line break</translation>
    </message>
</context>
<context>
    <name>PageMakerDialog</name>
    <message>
        <source>簡易ホームページ作成</source>
        <translation>Web Page Maker</translation>
    </message>
    <message>
        <source>携帯用ホームページが簡単に作成できます。</source>
        <translation>Makes a simple web page for mobile phones.</translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation>Title</translation>
    </message>
    <message>
        <source>画像</source>
        <translation>Picture</translation>
    </message>
    <message>
        <source>使用しない</source>
        <translation>Leave out</translation>
    </message>
    <message>
        <source>ファイル存在ＵＲＬ</source>
        <translation>File URL</translation>
    </message>
    <message>
        <source>テキスト</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>リンク１</source>
        <translation>Link 1</translation>
    </message>
    <message>
        <source>表示テキスト</source>
        <translation>Text</translation>
    </message>
    <message>
        <source>リンク先ＵＲＬ</source>
        <translation>URL</translation>
    </message>
    <message>
        <source>リンク２</source>
        <translation>Link 2</translation>
    </message>
    <message>
        <source>リンク３</source>
        <translation>Link 3</translation>
    </message>
    <message>
        <source>リンク４</source>
        <translation>Link 4</translation>
    </message>
    <message>
        <source>リンク５</source>
        <translation>Link 5</translation>
    </message>
    <message>
        <source>ＨＴＭＬを作成する</source>
        <translation>Make HTML...</translation>
    </message>
    <message>
        <source>作成データを保存する</source>
        <translation>Save Project...</translation>
    </message>
    <message>
        <source>作成データを開く</source>
        <translation>Open Project...</translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation>Close</translation>
    </message>
    <message>
        <source>ＨＴＭＬファイルを保存(*.html)|*.html</source>
        <translation>HTML Files (*.html)|*.html</translation>
    </message>
    <message>
        <source>プロジェクトファイル(*.mkp)|*.mkp</source>
        <translation>Project Files (*.mkp)|*.mkp</translation>
    </message>
    <message>
        <source>プロジェクトファイルを開く(*.mkp, *.ihp)|*.mkp; *.ihp</source>
        <translation>Project Files (*.mkp, *.ihp)|*.mkp; *.ihp</translation>
    </message>
</context>
<context>
    <name>Picture</name>
    <message>
        <source>画像がありません (%1 x %2)</source>
        <translation>There is no picture (%1 x %2)</translation>
    </message>
    <message>
        <source>画像が大きすぎます (%1 x %2)</source>
        <translation>The picture is too large (%1 x %2)</translation>
    </message>
</context>
<context>
    <name>PluginReading</name>
    <message>
        <source>画像</source>
        <translation>picture</translation>
    </message>
    <message>
        <source> (TGA 2.0 形式のファイルだけを読み込めます)</source>
        <translation> (only TGA 2.0 files can be read)</translation>
    </message>
    <message>
        <source>読み込める画像ではありません</source>
        <translation>Not a picture that can be read</translation>
    </message>
</context>
<context>
    <name>PngFormat</name>
    <message>
        <source>PNG を作れません (%1 x %2)</source>
        <translation>Cannot encode as PNG (%1 x %2)</translation>
    </message>
</context>
<context>
    <name>PortalCapture</name>
    <message>
        <source>画面をキャプチャーできません (%1)</source>
        <translation>Cannot capture the screen (%1)</translation>
    </message>
    <message>
        <source>デスクトップのポータルが %1 秒待っても応答しません</source>
        <translation>The desktop portal did not answer within %1 seconds</translation>
    </message>
    <message>
        <source>デスクトップにスクリーンショットのポータルがありません</source>
        <translation>The desktop has no screenshot portal</translation>
    </message>
    <message>
        <source>デスクトップのポータルにスクリーンショットの機能がありません</source>
        <translation>The desktop portal cannot take screenshots</translation>
    </message>
    <message>
        <source>ポータルを呼び出せません: %1</source>
        <translation>Cannot call the portal: %1</translation>
    </message>
    <message>
        <source>画像ファイルとして読めません</source>
        <translation>Cannot be read as a picture file</translation>
    </message>
    <message>
        <source>ポータルの答えに画像ファイルがありません</source>
        <translation>The portal answered without a picture file</translation>
    </message>
    <message>
        <source>D-Bus のセッションバスに接続できません</source>
        <translation>Cannot connect to the D-Bus session bus</translation>
    </message>
    <message>
        <source>デスクトップのポータルがキャプチャーに失敗しました</source>
        <translation>The desktop portal failed to capture</translation>
    </message>
    <message>
        <source>メモリが不足しています</source>
        <translation>Not enough memory</translation>
    </message>
</context>
<context>
    <name>Questions</name>
    <message>
        <source>%1 は既にあります。上書きしますか?</source>
        <translation>%1 already exists. Replace it?</translation>
    </message>
    <message numerus="yes">
        <source>%n 個のファイルが既にあります (%1 など)。上書きしますか?</source>
        <translation>
            <numerusform>%n file already exists (%1). Replace it?</numerusform>
            <numerusform>%n files already exist (%1 and others). Replace them?</numerusform>
        </translation>
    </message>
    <message>
        <source>画像の変更を保存しますか?</source>
        <translation>Save the changes to the picture?</translation>
    </message>
    <message>
        <source>%1 の変更を保存しますか?</source>
        <translation>Save the changes to %1?</translation>
    </message>
    <message>
        <source>保存しないと、編集した内容は失われます。</source>
        <translation>Your edits will be lost if you do not save them.</translation>
    </message>
    <message>
        <source>保存</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>保存しない</source>
        <translation>Don&apos;t Save</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
</context>
<context>
    <name>ScreenCapture</name>
    <message>
        <source>画面をキャプチャーできません (X11 の画面で動いていません)</source>
        <translation>Cannot capture the screen (not running on an X11 display)</translation>
    </message>
    <message>
        <source>画面をキャプチャーできませんでした</source>
        <translation>The screen could not be captured</translation>
    </message>
    <message>
        <source>キャプチャーするウインドウが見つかりません</source>
        <translation>No window to capture was found</translation>
    </message>
</context>
<context>
    <name>Settings</name>
    <message>
        <source>。既定の設定を使います</source>
        <translation>. Using the default settings</translation>
    </message>
</context>
<context>
    <name>Shrink</name>
    <message>
        <source>%1 を縮小できません (メモリが足りません)</source>
        <translation>Cannot shrink %1 (Not enough memory)</translation>
    </message>
    <message>
        <source>%1 を縮小できません (%2)</source>
        <translation>Cannot shrink %1 (%2)</translation>
    </message>
    <message>
        <source>変換元フォルダが指定されていません</source>
        <translation>No source folder is given</translation>
    </message>
    <message>
        <source>保存先フォルダが指定されていません</source>
        <translation>No destination folder is given</translation>
    </message>
    <message>
        <source>縮小サイズ幅が正しくありません (%1)</source>
        <translation>Invalid width to shrink to (%1)</translation>
    </message>
    <message>
        <source>保存先フォルダ %1 がありません</source>
        <translation>The destination folder %1 does not exist</translation>
    </message>
    <message>
        <source>拡張子の設定ファイル %1</source>
        <translation>Extension list: %1</translation>
    </message>
    <message>
        <source>縮小が途中で止まりました</source>
        <translation>The shrinking stopped before it was done</translation>
    </message>
    <message>
        <source>メモリが足りません</source>
        <translation>Not enough memory</translation>
    </message>
    <message>
        <source>ディスクがいっぱいになったため縮小を中止しました。残りの %1 ファイルは変換していません (%2)</source>
        <translation>The disk is full, so shrinking stopped. The remaining %1 files were not converted (%2)</translation>
    </message>
</context>
<context>
    <name>Sprites</name>
    <message>
        <source>四隅の色がそろっていないため、背景の色が決まりません</source>
        <translation>The four corners have no colour in common, so the background colour cannot be told</translation>
    </message>
    <message>
        <source>この画像には透明な部分がありません (背景の色を指定してください)</source>
        <translation>The picture has no transparent part (give the background colour)</translation>
    </message>
    <message>
        <source>規則的な格子が見つかりません</source>
        <translation>No regular grid was found</translation>
    </message>
    <message>
        <source>スプライトが見つかりません</source>
        <translation>No sprite was found</translation>
    </message>
</context>
<context>
    <name>TiffReading</name>
    <message>
        <source>この形式の TIFF には対応していません</source>
        <translation>This kind of TIFF is not supported</translation>
    </message>
</context>
<context>
    <name>ValueDialog</name>
    <message>
        <source>決定</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>値</source>
        <translation>Value</translation>
    </message>
    <message>
        <source>ドットをそのまま拡大する</source>
        <translation>Keep pixels sharp</translation>
    </message>
    <message>
        <source>各ピクセルを同じ色のブロックにして拡大します。ドット絵やアイコンの輪郭がぼやけません</source>
        <translation>Enlarges each pixel into a block of its colour, so that pixel art and icons keep sharp edges</translation>
    </message>
</context>
<context>
    <name>WebpAnimation</name>
    <message>
        <source>WebP を作れません (%1)</source>
        <translation>Cannot encode as WebP (%1)</translation>
    </message>
    <message>
        <source>WebP にできない大きさです (%1 x %2)</source>
        <translation>A WebP cannot have this size (%1 x %2)</translation>
    </message>
    <message>
        <source>WebP のフレームの大きさが違います</source>
        <translation>The WebP frames differ in size</translation>
    </message>
    <message>
        <source>WebP アニメーションが長すぎます (%1 フレーム x %2 ミリ秒、上限 %3 ミリ秒)</source>
        <translation>The WebP animation is too long (%1 frames x %2 ms; at most %3 ms)</translation>
    </message>
</context>
</TS>
