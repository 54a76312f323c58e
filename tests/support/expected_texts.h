// The launcher's notice texts as users must see them, per language.
#pragma once

#include <windows.h>

namespace expected_texts {

struct Language {
    LANGID id;
    const wchar_t *format;
    // The Linux locale that Wine maps to this language.
    const char *linuxLocale;
};

const wchar_t PRODUCT_NAME[] = L"KVX Portable";

const Language LANGUAGES[] = {
    {1028, L"無法啟動 %s。使用 KVX Portable安裝程式更新程式。", "zh_TW.UTF-8"},
    {1031,
     L"%s kann nicht gestartet werden. Aktualisieren Sie das Programm mit dem KVX Portable "
     L"Installer.",
     "de_DE.UTF-8"},
    {1033, L"Cannot start %s. Use the KVX Portable Installer to update the program.",
     "en_US.UTF-8"},
    {1036,
     L"Impossible de démarrer %s. Utilisez le Programme d'installation KVX Portable pour mettre "
     L"à jour le programme.",
     "fr_FR.UTF-8"},
    {1040,
     L"Impossibile avviare %s. Aggiornare il programma mediante l'Utilità di KVX Portable "
     L"Installer.",
     "it_IT.UTF-8"},
    {1041,
     L"%s を起動できません。KVX Portable インストーラーを使ってプログラムを更新してください。",
     "ja_JP.UTF-8"},
    {1042,
     L"%s을(를) 시작할 수 없습니다. KVX Portable 인스톨러를 사용하여 프로그램을 업데이트합니다.",
     "ko_KR.UTF-8"},
    {1043,
     L"Kan %s niet starten. Gebruik het KVX Portable Installer om het programma bij te werken.",
     "nl_NL.UTF-8"},
    {1046,
     L"Não é possível iniciar %s. Use a Ferramenta de Instalador do KVX Portable para atualizar "
     L"o programa.",
     "pt_BR.UTF-8"},
    {1049,
     L"Не удается запустить %s. Для обновления программы используйте программу установки KVX "
     L"Portable.",
     "ru_RU.UTF-8"},
    {1053, L"Kan inte starta %s. Använd KVX Portable installerare för att uppdatera programmet.",
     "sv_SE.UTF-8"},
    {2052, L"无法启动 %s。请使用 KVX Portable安装程序来更新程序。", "zh_CN.UTF-8"},
    {3082,
     L"No se puede iniciar %s. Utilice la herramienta de Instalador de KVX Portable para "
     L"actualizar el programa.",
     "es_ES.UTF-8"},
};

} // namespace expected_texts
