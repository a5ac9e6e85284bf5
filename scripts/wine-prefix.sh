# Sourced: wine_prefix_create DIR makes a throwaway 64-bit Wine prefix in DIR
# that shows Chinese text, draws without a window manager and runs quietly.
# Needs $DISPLAY only for what runs in it later, not for its creation.

export WINEARCH=win64
export WINEDEBUG=-all,err+winediag
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

wine_prefix_create() {
  export WINEPREFIX="$1"
  # Wine rewrites its font links when the code page changes, so the prefix is
  # made in the users' code page (936) from the start.
  local LANG=zh_CN.UTF-8
  export LANG
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Debian's Wine does not find its own fonts.
  cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  cp /usr/share/fonts/truetype/wqy/wqy-microhei.ttc "$WINEPREFIX/drive_c/windows/Fonts/"
  wine_prefix_link_fonts
  # Without a window manager every shown window would wait for one.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
}

# Chinese text through the installed CJK font. Wine rewrites these links
# whenever a program starts under another code page than the last one, so a
# prefix that is kept (the demo's) has them laid again at every session.
wine_prefix_link_fonts() {
  local LANG=zh_CN.UTF-8
  export LANG
  local link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
  local face
  for face in "Tahoma" "Tahoma Bold" "Microsoft Sans Serif" "MS Sans Serif" "SimSun" "MS Shell Dlg" "MS Shell Dlg 2"; do
    wine reg add "$link" /v "$face" /t REG_MULTI_SZ /d "wqy-microhei.ttc,WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
}
