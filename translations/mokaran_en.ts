<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ja_JP">
<context>
    <name>AboutDialog</name>
    <message>
        <source>バージョン情報</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>BatchShrinkDialog</name>
    <message>
        <source>フォルダ内JPEGファイル変換ツール</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>変換元フォルダ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参照</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存先フォルダ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>縮小サイズ幅</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>縮小開始</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>CutSizeDialog</name>
    <message>
        <source>切り取り画像サイズ設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>任意の切り取りサイズ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>横幅</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高さ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>決定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ImportDialog</name>
    <message>
        <source>画像ファイル読込み</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画像ファイルのパス (「参照」で選ぶか入力して Enter)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>参照</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>決定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>画像ファイル読込み</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>切り取り画像サイズ設定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画像切り取り</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>連続画像切り取り</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>アルファ合成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>フェードアウト</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>簡易ホームページ作成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画像の大きさ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>横幅</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>高さ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>切り取り画像サイズ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイル(&amp;F)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>編集(&amp;E)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ツール(&amp;T)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ヘルプ(&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画像ファイルを読込む(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>表示中の画像を保存する(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>終了(&amp;X)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>取り消し</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>Ctrl+Z</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>やり直し</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>元に戻す(&amp;U)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>拡大縮小(&amp;X)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>回転(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ぼかし(&amp;S)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>シャープネス(&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>コントラスト強調(&amp;C)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ガンマ補正(&amp;G)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>レベル補正</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>スクリーンキャプチャー</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>スクリーンキャプチャー(縮小)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>アクティブウインドウキャプチャー</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>アクティブウインドウキャプチャー(縮小)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>フォルダ内JPEGファイル縮小</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使い方 (&amp;H)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>readmeを開く (&amp;R)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>バージョン情報 (&amp;V)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ホームページへ (&amp;U)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>終了 (&amp;X)</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>OutputDialog</name>
    <message>
        <source>画像を保存する</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>保存する</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>合成用画像を開く</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作成進行状況</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>移動量</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>大(15移動)</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>中（8移動）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>小（3移動）</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>移動量&#x3000;１</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>切り取りサイズ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>移動動作</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>右へ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>左へ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>下へ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>上へ</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>PageMakerDialog</name>
    <message>
        <source>簡易ホームページ作成</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>携帯用ホームページが簡単に作成できます。</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>タイトル</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>画像</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>使用しない</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ファイル存在ＵＲＬ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>テキスト</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンク１</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>表示テキスト</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンク先ＵＲＬ</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンク２</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンク３</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンク４</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>リンク５</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>ＨＴＭＬを作成する</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作成データを保存する</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>作成データを開く</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>閉じる</source>
        <translation type="unfinished"></translation>
    </message>
</context>
<context>
    <name>ValueDialog</name>
    <message>
        <source>決定</source>
        <translation type="unfinished"></translation>
    </message>
    <message>
        <source>キャンセル</source>
        <translation type="unfinished"></translation>
    </message>
</context>
</TS>
