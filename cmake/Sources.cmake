# Which unit goes where. The pure sources build for Windows and natively;
# the engine sources need the Win32 layer.
set(FENDRIX_PURE_SOURCES
    foundation/UnitImport.cpp
    foundation/NumberParsing.cpp
    foundation/PartLimit.cpp
    foundation/UnitLanguage.cpp
    foundation/CommandLine.cpp
    foundation/platform/TextServices.cpp
    index/PathOps.cpp
    index/UnitFileInfo.cpp
    index/HeaderText.cpp
    index/EntryNames.cpp
    index/PartNames.cpp
    window/PartSize.cpp
)

set(FENDRIX_WIN32_TEXT_SOURCES foundation/platform/win32/TextServices.cpp)
set(FENDRIX_NATIVE_TEXT_SOURCES foundation/platform/native/TextServices.cpp)

set(FENDRIX_ENGINE_SOURCES
    foundation/platform/win32/FileSystem.cpp
    foundation/platform/win32/Process.cpp
    foundation/platform/win32/Prompts.cpp
    foundation/LanguageChoice.cpp
    foundation/CommandLineProcess.cpp
    foundation/UnitFileStream.cpp
    index/PathQuery.cpp
    index/DirectoryScan.cpp
    engine/StartParams.cpp
    engine/JobRunner.cpp
    engine/SilentJob.cpp
    engine/SplitEngine.cpp
    engine/JoinEngine.cpp
    window/UnitFrmMain.cpp
    window/FrmMainMessages.cpp
    window/FrmMainCommands.cpp
    window/FrmMainDialogs.cpp
    window/FrmMainJob.cpp
    window/FrmMainPaint.cpp
    window/MainLoop.cpp
    window/ShellDialogs.cpp
    window/WebAddress.cpp
)

# The maker's web page; while empty the window shows no link.
set(FENDRIX_WEB_ADDRESS "" CACHE STRING "Web address of the maker's page, shown and opened by the window")
set_source_files_properties(window/WebAddress.cpp PROPERTIES
    COMPILE_DEFINITIONS "FENDRIX_WEB_ADDRESS=\"${FENDRIX_WEB_ADDRESS}\"")
