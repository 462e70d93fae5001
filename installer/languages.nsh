; Every text of the setup program and its uninstaller that is not NSIS's own, in Japanese and in
; English. NSIS shows the language of Windows' display language when it is one of these and the
; first one inserted (English) otherwise; the uninstaller chooses the same way when it runs.
!insertmacro MUI_LANGUAGE "English"
!insertmacro MUI_LANGUAGE "Japanese"

LangString SecModuleName ${LANG_ENGLISH} "Vantorel"
LangString SecModuleName ${LANG_JAPANESE} "Vantorel"
LangString SecShowName ${LANG_ENGLISH} "Show the toolbar in Explorer windows"
LangString SecShowName ${LANG_JAPANESE} "エクスプローラーのウィンドウにツールバーを表示する"

; The user's guide: the file installed beside the module, its Start menu entry, the finish page's
; check box that opens it.
LangString GuideFile ${LANG_ENGLISH} "guide.en.html"
LangString GuideFile ${LANG_JAPANESE} "guide.ja.html"
LangString GuideShortcut ${LANG_ENGLISH} "How to use Vantorel"
LangString GuideShortcut ${LANG_JAPANESE} "Vantorel の使い方"
LangString ShowGuide ${LANG_ENGLISH} "Open the guide (how to use Vantorel)"
LangString ShowGuide ${LANG_JAPANESE} "使い方のガイドを開く"

LangString RegisterFailed ${LANG_ENGLISH} "Vantorel.dll could not be registered (regsvr32 exit code $0)."
LangString RegisterFailed ${LANG_JAPANESE} "Vantorel.dll を登録できませんでした (regsvr32 の終了コード $0)。"
LangString ShowFailed ${LANG_ENGLISH} "The toolbar could not be set to show by itself (regsvr32 exit code $0); turn it on from the View menu."
LangString ShowFailed ${LANG_JAPANESE} "ツールバーを自動で表示する設定にできませんでした (regsvr32 の終了コード $0)。エクスプローラーの [表示] メニューから表示してください。"

; The finish page, by Windows' build (26100, 24H2, and later hide Explorer's toolbar area) and by
; whether the toolbar was set to show.
LangString FinishNoArea ${LANG_ENGLISH} "Vantorel is installed, but this Windows has no toolbar area in Explorer. Run the setup again with $\"Show the toolbar in Explorer windows$\" checked to have Vantorel's box in every Explorer window."
LangString FinishNoArea ${LANG_JAPANESE} "Vantorel をインストールしました。ただし、この Windows のエクスプローラーにはツールバーの領域がありません。すべてのエクスプローラーのウィンドウに Vantorel の入力欄を出すには、「エクスプローラーのウィンドウにツールバーを表示する」をオンにしてセットアップをもう一度実行してください。"
LangString FinishViewMenu ${LANG_ENGLISH} "Vantorel is installed. Turn the toolbar on from the View menu of an Explorer window (Toolbars > Vantorel)."
LangString FinishViewMenu ${LANG_JAPANESE} "Vantorel をインストールしました。エクスプローラーの [表示] メニューの [ツール バー] から Vantorel を選んで表示してください。"
LangString FinishNoViewMenu ${LANG_ENGLISH} "Vantorel is installed, but Explorer on this Windows has no menu to turn toolbars on. Run the setup again with $\"Show the toolbar in Explorer windows$\" checked to have the toolbar in every Explorer window."
LangString FinishNoViewMenu ${LANG_JAPANESE} "Vantorel をインストールしました。ただし、この Windows のエクスプローラーにはツールバーを表示するメニューがありません。すべてのエクスプローラーのウィンドウにツールバーを出すには、「エクスプローラーのウィンドウにツールバーを表示する」をオンにしてセットアップをもう一度実行してください。"
LangString FinishBox ${LANG_ENGLISH} "Vantorel is installed. This Windows has no toolbar area in Explorer, so Explorer windows opened from now on show Vantorel's box at the top right of the folder view (Alt+S in the folder view puts the cursor into it)."
LangString FinishBox ${LANG_JAPANESE} "Vantorel をインストールしました。この Windows のエクスプローラーにはツールバーの領域がないため、これから開くエクスプローラーのウィンドウでは、フォルダーの表示の右上に Vantorel の入力欄が出ます (フォルダーの表示で Alt+S を押すと入力欄にカーソルが移ります)。"
LangString FinishShown ${LANG_ENGLISH} "Vantorel is installed. Explorer windows opened from now on show the toolbar."
LangString FinishShown ${LANG_JAPANESE} "Vantorel をインストールしました。これから開くエクスプローラーのウィンドウにツールバーが表示されます。"

LangString RemovedAtRestart ${LANG_ENGLISH} "Vantorel.dll is in use by Explorer and is removed when Windows restarts."
LangString RemovedAtRestart ${LANG_JAPANESE} "Vantorel.dll はエクスプローラーが使用中のため、Windows の再起動時に削除されます。"

; The diagnosis's Start menu entry, named on the finish page.
LangString FinishDiagnosis ${LANG_ENGLISH} "If Vantorel does not appear, run $\"Vantorel の診断$\" (the diagnosis) from the Start menu: it checks what keeps Vantorel out of Explorer and says how to mend it; send us the report it copies."
LangString FinishDiagnosis ${LANG_JAPANESE} "Vantorel が表示されないときは、スタート メニューの「Vantorel の診断」で原因と直し方を調べられます。コピーした結果を私たちに送ってください。"
