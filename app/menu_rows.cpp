#include "app/menu_rows.h"

namespace korvane {

namespace {

using Kind = MenuRow::Kind;

MenuRow menu(const char* name, const char* caption, const char* onOpen = "") {
    return {Kind::Menu, name, caption, "", onOpen, "", false};
}
MenuRow submenu(const char* caption, const char* name = "") {
    return {Kind::Submenu, name, caption, "", "", "", false};
}
MenuRow end() {
    return {Kind::End, "", "", "", "", "", false};
}
MenuRow item(const char* name, const char* caption, const char* keys, const char* command,
             const char* hint = "") {
    return {Kind::Item, name, caption, keys, command, hint, false};
}
MenuRow check(const char* name, const char* caption, const char* command) {
    return {Kind::Item, name, caption, "", command, "", true};
}
MenuRow separator() {
    return {Kind::Separator, "", "", "", "", "", false};
}

// A tool button's picture: the icon theme's, else the style's or one drawn
// here.
ToolIcon standardIcon(const char* theme, ToolIcon::Standard standard) {
    ToolIcon icon;
    icon.theme = theme;
    icon.standard = standard;
    return icon;
}
ToolIcon glyphIcon(const char* theme, const char* glyph, unsigned face = 0) {
    ToolIcon icon;
    icon.theme = theme;
    icon.drawn = ToolIcon::Drawn::Glyph;
    icon.glyph = glyph;
    icon.face = face;
    return icon;
}
ToolIcon drawnIcon(const char* theme, ToolIcon::Drawn drawn) {
    ToolIcon icon;
    icon.theme = theme;
    icon.drawn = drawn;
    return icon;
}
// The style's help picture is a life buoy, whose red quarters read as four
// corner arrows at 16 pixels; a question mark says help at any size.
ToolIcon helpIcon() {
    ToolIcon icon = glyphIcon("help-contents", "?", ToolIcon::kBold);
    icon.secondTheme = "help-about";
    return icon;
}

using Standard = ToolIcon::Standard;
using Drawn = ToolIcon::Drawn;
constexpr unsigned kBold = ToolIcon::kBold;
constexpr unsigned kItalic = ToolIcon::kItalic;
constexpr unsigned kUnderline = ToolIcon::kUnderline;
constexpr unsigned kStrike = ToolIcon::kStrike;

const ToolRow kToolSeparator{};

// Ctrl+Y as on Windows, and Ctrl+Shift+Z as elsewhere; the menu shows the
// first.
constexpr const char* kRedoKeys = "Ctrl+Y; Ctrl+Shift+Z";

}  // namespace

const std::vector<MenuRow>& textModeMenus() {
    static const std::vector<MenuRow> rows = {
        menu("File1", "ﾌｧｲﾙ(&F)"),
        item("New1", "新規作成(&N)", "Ctrl+N", "New1Click"),
        item("Open1", "開く(&O)...", "Ctrl+O", "Open1Click"),
        item("Save1", "上書き保存(&S)", "Ctrl+S", "Save1Click"),
        item("SaveAs1", "名前を付けて保存(&A)...", "", "SaveAs1Click"),
        item("htmlH1", "html変換して保存(&H)...", "", "htmlH1Click"),
        separator(),
        item("P1", "ﾌﾟﾚﾋﾞｭｰ(&P)", "Ctrl+P", "P1Click"),
        separator(),
        submenu("最近使ったﾌｧｲﾙ(&R)", "Recent1"),
        end(),
        item("ReopenIn1", "文字コードを指定して開き直す(&E)...", "", "reopenInEncodingClick"),
        item("SaveIn1", "文字コードを変えて保存(&W)...", "", "saveInEncodingClick"),
        separator(),
        item("Exit1", "終了(&X)", "", "Exit1Click"),
        end(),

        menu("Edit1", "編集(&E)", "Edit1Click"),
        item("Repeat1", "やり直し(&U)", "Ctrl+Z", "Repeat1Click", "やり直し"),
        separator(),
        item("T1", "切り抜き(&T)", "Ctrl+X", "T1Click", "切り取り"),
        item("Copy1", "コピー(&C)", "Ctrl+C", "Copy1Click", "コピー"),
        item("P2", "張り付け(&P)", "Ctrl+V", "P2Click", "張り付け"),
        separator(),
        item("A1", "全て選択(&A)", "Ctrl+A", "A1Click"),
        item("Delete1", "削除(&L)", "", "Delete1Click"),
        separator(),
        item("Redo1", "やり直し(&R)", kRedoKeys, "Redo1Click"),
        end(),

        menu("Find2", "検索(&S)"),
        item("Find1", "検索(&F)...", "Ctrl+F", "Find1Click", "検索"),
        item("P3", "上を検索(&P)", "Shift+F3", "P3Click", "上を検索"),
        item("N12", "下を検索(&N)", "F3", "N12Click", "下を検索"),
        separator(),
        item("Replace1", "置換(&R)...", "Ctrl+R", "Replace1Click"),
        item("GoLine1", "行へ移動(&G)...", "Ctrl+G", "GoLine1Click"),
        end(),

        menu("S1", "設定(&U)"),
        item("B1", "色指定(&C)...", "", "B1Click"),
        check("N5", "背景画像(&P)...", "N5Click"),
        item("D1", "詳細設定(&D)...", "", "D1Click"),
        separator(),
        item("Font1", "ﾌｫﾝﾄ(&F)...", "", "Font1Click"),
        item("korvaneS2", "ｵﾌﾟｼｮﾝ(&O)...", "", "korvaneS2Click"),
        check("LineNum1", "行番号を表示(&N)", "LineNum1Click"),
        end(),

        menu("C2", "切り替え(&C)"),
        item("morvixS1", "morvix(&S)", "", "morvixS1Click"),
        item("htmlmorvixH1", "html変換してmorvix(&H)", "", "htmlmorvixH1Click"),
        end(),

        menu("H4", "ﾍﾙﾌﾟ(&H)"),
        item("H2", "korvaneﾍﾙﾌﾟ(&H)", "", "H2Click"),
        item("About1", "ﾊﾞｰｼﾞｮﾝ情報(&V)", "", "About1Click"),
        end(),
    };
    return rows;
}

const std::vector<MenuRow>& tagModeMenus() {
    static const std::vector<MenuRow> rows = {
        menu("File2", "ﾌｧｲﾙ(&F)", "File2Click"),
        item("Open2", "開く(&O)...", "Ctrl+O", "Open2Click"),
        item("Save2", "上書き保存(&S)", "Ctrl+S", "Save2Click"),
        item("SaveAs2", "名前を付けて保存(&A)...", "", "SaveAs2Click"),
        check("html1", "htmlﾀｸﾞをﾊｲﾗｲﾄ表示(&H)", "html1Click"),
        item("P4", "ﾌﾟﾚﾋﾞｭｰ(&P)", "Ctrl+P", "P4Click"),
        submenu("最近使ったﾌｧｲﾙ(&R)", "Recent2"),
        end(),
        item("ReopenIn2", "文字コードを指定して開き直す(&E)...", "", "reopenInEncodingClick"),
        item("SaveIn2", "文字コードを変えて保存(&W)...", "", "saveInEncodingClick"),
        item("Exit2", "終了(&X)", "", "Exit1Click"),
        end(),

        // No open handler: tag mode's edit items are always enabled.
        menu("Edit2", "編集(&E)"),
        item("Repeat3", "やり直し(&U)", "Ctrl+Z", "Repeat3Click"),
        separator(),
        item("T2", "切り抜き(&T)", "Ctrl+X", "T2Click"),
        item("Copy3", "コピー(&C)", "Ctrl+C", "Copy3Click"),
        item("P5", "張り付け(&P)", "Ctrl+V", "P5Click"),
        separator(),
        item("A2", "全て選択(&A)", "Ctrl+A", "A2Click"),
        item("Delete3", "削除(&L)", "", "Delete3Click"),
        separator(),
        item("Redo3", "やり直し(&R)", kRedoKeys, "Redo3Click"),
        end(),

        menu("Find3", "検索(&S)"),
        item("Find4", "検索(&F)...", "Ctrl+F", "Find4Click"),
        item("U1", "上を検索(&P)", "Shift+F3", "U1Click"),
        item("N16", "下を検索(&N)", "F3", "N16Click"),
        separator(),
        item("Replace2", "置換(&R)...", "Ctrl+R", "Replace2Click"),
        item("GoLine2", "行へ移動(&G)...", "Ctrl+G", "GoLine2Click"),
        end(),

        menu("html1T1", "htmlﾀｸﾞ1(&T)"),
        submenu("文字装飾(&F)"),
        item("B2", "太字(&B)", "", "B2Click"),
        item("I1", "ｲﾀﾘｯｸ(&I)", "", "I1Click"),
        item("N17", "下線付き(&U)", "", "N17Click"),
        item("S3", "字消し線付き(&S)", "", "S3Click"),
        item("T3", "等幅ﾌｫﾝﾄ(&T)", "", "T3Click"),
        end(),
        submenu("構造指定(&S)"),
        item("H1", "簡易ﾘﾝｸ(&A)", "", "H1Click"),
        item("M1", "ﾒｰﾙｱﾄﾞﾚｽ(&M)", "", "M1Click"),
        item("B3", "改行(&B)", "", "B3Click"),
        item("R1", "横罫線(&R)", "", "R1Click"),
        submenu("見出し(&H)"),
        item("H1F1", "H1(&F)", "", "H1F1Click"),
        item("H2S1", "H2(&S)", "", "H2S1Click"),
        item("H3T1", "H3(&T)", "", "H3T1Click"),
        item("H4O1", "H4(&O)", "", "H4O1Click"),
        item("H5I1", "H5(&I)", "", "H5I1Click"),
        item("H6X1", "H6(&X)", "", "H6X1Click"),
        end(),
        item("P6", "段落(&P)", "", "P6Click"),
        item("txtE1", "ﾃｷｽﾄ表示(&E)", "", "txtE1Click"),
        submenu("ﾘｽﾄ(&L)"),
        item("U2", "順不同ﾘｽﾄ(&U)", "", "U2Click"),
        item("O1", "連番付きﾘｽﾄ(&O)", "", "O1Click"),
        end(),
        end(),
        submenu("位置指定(&D)"),
        item("L1", "左揃え(&L)", "", "L1Click"),
        item("C1", "中央揃え(&C)", "", "C1Click"),
        item("R2", "右揃え(&R)", "", "R2Click"),
        end(),
        end(),

        menu("html2T1", "htmlﾀｸﾞ2(&M)", "html2T1Click"),
        item("F2", "ﾌｫﾝﾄ指定(&F)...", "", "F2Click"),
        item("N19", "ﾘﾝｸ・ﾒｰﾙ(&L)...", "", "N19Click"),
        item("P7", "ﾍﾟｰｼﾞ内ﾘﾝｸ(&P),,,", "", "P7Click"),
        item("E1", "簡易画像(&E)", "", "E1Click"),
        item("I2", "画像配置(&I)...", "", "I2Click"),
        item("K1", "ﾍﾟｰｼﾞの点検(&K)...", "Ctrl+Shift+K", "K1Click"),
        end(),

        menu("U3", "設定(&U)"),
        item("Font2", "ﾌｫﾝﾄ(&F)...", "", "Font2Click"),
        item("Option1", "ｵﾌﾟｼｮﾝ(&O)...", "", "Option1Click"),
        check("LineNum2", "行番号を表示(&N)", "LineNum2Click"),
        end(),

        menu("C3", "切り替え(&C)"),
        item("korvaneS1", "korvane(&S)", "", "korvaneS1Click"),
        item("htmlkorvaneH1", "ﾀｸﾞを抜いてkorvane(&H)", "", "htmlkorvaneH1Click"),
        end(),

        menu("H5", "ﾍﾙﾌﾟ(&H)"),
        item("H3", "morvixﾍﾙﾌﾟ(&H)", "", "H3Click"),
        item("About2", "ﾊﾞｰｼﾞｮﾝ情報(&V)", "", "About2Click"),
        end(),
    };
    return rows;
}

// Its captions have no access keys, and its items no short-cuts: those
// belong to the menu bars.
const std::vector<MenuRow>& contextMenu() {
    static const std::vector<MenuRow> rows = {
        item("Repeat2", "やり直し", "", "Repeat2Click"),
        separator(),
        item("N7", "切り抜き", "", "N7Click"),
        item("Copy2", "コピー", "", "Copy2Click"),
        item("N8", "張り付け", "", "N8Click"),
        separator(),
        item("N10", "全て選択", "", "N10Click"),
        item("Delete2", "削除", "", "Delete2Click"),
        separator(),
        item("Redo2", "やり直し", "", "Redo2Click"),
    };
    return rows;
}

const std::vector<ToolRow>& textModeTools() {
    static const std::vector<ToolRow> rows = {
        {"ToolButton1", "新規作成", "New1Click", standardIcon("document-new", Standard::File)},
        {"ToolButton2", "開く", "Open1Click", standardIcon("document-open", Standard::Open)},
        {"ToolButton3", "上書き保存", "Save1Click", standardIcon("document-save", Standard::Save)},
        kToolSeparator,
        {"ToolButton5", "ﾌﾟﾚﾋﾞｭｰ", "P1Click",
         standardIcon("document-print-preview", Standard::Preview)},
        kToolSeparator,
        {"ToolButton7", "やり直し", "Repeat1Click", standardIcon("edit-undo", Standard::Back)},
        kToolSeparator,
        {"ToolButton9", "切り取り", "T1Click", glyphIcon("edit-cut", "✂")},
        {"ToolButton10", "コピー", "Copy1Click", glyphIcon("edit-copy", "複")},
        {"ToolButton11", "張り付け", "P2Click", glyphIcon("edit-paste", "貼")},
        kToolSeparator,
        {"ToolButton13", "検索", "Find1Click", glyphIcon("edit-find", "探")},
        {"ToolButton14", "上を検索", "P3Click", standardIcon("go-up", Standard::Up)},
        {"ToolButton15", "下を検索", "N12Click", standardIcon("go-down", Standard::Down)},
        kToolSeparator,
        {"ToolButton25", "korvaneﾍﾙﾌﾟ", "ToolButton25Click", helpIcon()},
    };
    return rows;
}

const std::vector<ToolRow>& tagModeTools() {
    static const std::vector<ToolRow> rows = {
        {"ToolButton17", "開く", "Open2Click", standardIcon("document-open", Standard::Open)},
        {"ToolButton18", "上書き保存", "Save2Click", standardIcon("document-save", Standard::Save)},
        {"ToolButton20", "ﾌﾟﾚﾋﾞｭｰ", "P4Click",
         standardIcon("document-print-preview", Standard::Preview)},
        kToolSeparator,
        {"ToolButton22", "やり直し", "Repeat1Click", standardIcon("edit-undo", Standard::Back)},
        kToolSeparator,
        {"ToolButton31", "太字|太字に設定します。", "B2Click",
         glyphIcon("format-text-bold", "B", kBold)},
        {"ToolButton32", "ｲﾀﾘｯｸ|斜体に設定します。", "I1Click",
         glyphIcon("format-text-italic", "I", kItalic)},
        {"ToolButton33", "下線付き|下線をつけます。", "N17Click",
         glyphIcon("format-text-underline", "U", kUnderline)},
        {"ToolButton34", "字消し線付き|中央に線を付けます。", "S3Click",
         glyphIcon("format-text-strikethrough", "S", kStrike)},
        {"ToolButton35", "等幅ﾌｫﾝﾄ|全ての文字を同じ幅に設定します。", "T3Click",
         glyphIcon("", "TT")},
        {"ToolButton36", "簡易ﾘﾝｸ|選択文字をﾘﾝｸ先としたﾘﾝｸを張ります。", "H1Click",
         glyphIcon("", "A")},
        {"ToolButton37", "ﾒｰﾙｱﾄﾞﾚｽ|選択文字をﾒｰﾙｱﾄﾞﾚｽとしたﾘﾝｸを張ります。", "M1Click",
         glyphIcon("", "@")},
        {"ToolButton38", "改行|改行します。", "B3Click", glyphIcon("", "BR")},
        {"ToolButton39", "横罫線|横一行に、線を引きます。", "R1Click", glyphIcon("", "HR")},
        {"ToolButton40", "段落|段落を設定します。", "P6Click", glyphIcon("", "P")},
        {"ToolButton41", "ﾃｷｽﾄ表示|改行やタブなどをそのまま表示します。", "txtE1Click",
         glyphIcon("", "PRE")},
        {"ToolButton43", "左揃え|文字を左側に揃えます。", "L1Click",
         drawnIcon("format-justify-left", Drawn::AlignLeft)},
        {"ToolButton44", "中央揃え|文字を中央に揃えます。", "C1Click",
         drawnIcon("format-justify-center", Drawn::AlignCenter)},
        {"ToolButton45", "右揃え|文字を右側に揃えます。", "R2Click",
         drawnIcon("format-justify-right", Drawn::AlignRight)},
        kToolSeparator,
        {"ToolButton19", "ﾌｫﾝﾄ指定|使用するフォントの種類・色・サイズを設定します。", "F2Click",
         glyphIcon("", "F")},
        {"ToolButton23", "ﾘﾝｸ・ﾒｰﾙ|ｱﾄﾞﾚｽを指定して、ﾘﾝｸを張ります。", "N19Click",
         glyphIcon("insert-link", "L")},
        {"ToolButton27", "ﾍﾟｰｼﾞ内ﾘﾝｸ|同じﾌｧｲﾙ内で移動できるﾘﾝｸを張ります。", "P7Click",
         glyphIcon("", "#")},
        {"ToolButton29", "簡易画像|画像を配置します。", "E1Click", glyphIcon("", "Im")},
        {"ToolButton28", "画像配置|大きさなどを指定して、画像を配置します。", "I2Click",
         glyphIcon("insert-image", "IMG")},
        {"ToolButton46", "ﾍﾟｰｼﾞの点検|画像やﾘﾝｸ先、ﾍﾟｰｼﾞ内の名前、閉じ忘れたﾀｸﾞなどを点検します。",
         "K1Click", glyphIcon("", "✓", kBold)},
        kToolSeparator,
        {"ToolButton24", "morvixﾍﾙﾌﾟ", "ToolButton24Click", helpIcon()},
    };
    return rows;
}

}  // namespace korvane
