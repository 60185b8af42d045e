// The localized texts. Non-ASCII characters are written as universal character names
// so the table reads the same whatever encoding an editor assumes.
#include "ui/text.h"

// One row per message, one line per language.
// clang-format off
constexpr const wchar_t* TextTable[TextIdCount][LanguageCount] = {
    // 0 InstallerText
    {
        L"Installer", // EN
        L"Instalador", // PT
        L"Instalador", // ES
        L"Installation", // FR
        L"Installazione", // IT
        L"Installation", // DE
        L"Installation", // SV
    },
    // 1 ChooseWhereToInstall
    {
        L"Choose where to install", // EN
        L"Escolha onde instalar", // PT
        L"Elige d\u00F3nde instalar", // ES
        L"Choisissez o\u00F9 installer", // FR
        L"Scegli dove installare", // IT
        L"W\u00E4hle den Installationsort", // DE
        L"V\u00E4lj var du vill installera", // SV
    },
    // 2 NoGameFound
    {
        L"No game was found automatically. Choose the game folder below.", // EN
        L"Nenhum jogo foi encontrado automaticamente. Escolha a pasta do jogo abaixo.", // PT
        L"No se encontr\u00F3 ning\u00FAn juego autom\u00E1ticamente. Elige la carpeta del juego a continuaci\u00F3n.", // ES
        L"Aucun jeu n'a \u00E9t\u00E9 trouv\u00E9 automatiquement. Choisissez le dossier du jeu ci-dessous.", // FR
        L"Nessun gioco trovato automaticamente. Scegli la cartella del gioco qui sotto.", // IT
        L"Es wurde kein Spiel automatisch gefunden. W\u00E4hle unten den Spielordner.", // DE
        L"Inget spel hittades automatiskt. V\u00E4lj spelmappen nedan.", // SV
    },
    // 3 ChooseAnotherFolder
    {
        L"+ Choose another game folder\u2026", // EN
        L"+ Escolher outra pasta do jogo\u2026", // PT
        L"+ Elegir otra carpeta del juego\u2026", // ES
        L"+ Choisir un autre dossier de jeu\u2026", // FR
        L"+ Scegli un'altra cartella del gioco\u2026", // IT
        L"+ Anderen Spielordner w\u00E4hlen\u2026", // DE
        L"+ V\u00E4lj en annan spelmapp\u2026", // SV
    },
    // 4 NotAGameFolder
    {
        L"This folder is not American Truck Simulator or Euro Truck Simulator 2.", // EN
        L"Esta pasta n\u00E3o \u00E9 do American Truck Simulator nem do Euro Truck Simulator 2.", // PT
        L"Esta carpeta no es de American Truck Simulator ni de Euro Truck Simulator 2.", // ES
        L"Ce dossier n'est ni American Truck Simulator ni Euro Truck Simulator 2.", // FR
        L"Questa cartella non \u00E8 di American Truck Simulator n\u00E9 di Euro Truck Simulator 2.", // IT
        L"Dieser Ordner ist weder American Truck Simulator noch Euro Truck Simulator 2.", // DE
        L"Den h\u00E4r mappen \u00E4r varken American Truck Simulator eller Euro Truck Simulator 2.", // SV
    },
    // 5 InstallLabel
    {
        L"Install", // EN
        L"Instalar", // PT
        L"Instalar", // ES
        L"Installer", // FR
        L"Installa", // IT
        L"Installieren", // DE
        L"Installera", // SV
    },
    // 6 UninstallLabel
    {
        L"Uninstall", // EN
        L"Desinstalar", // PT
        L"Desinstalar", // ES
        L"D\u00E9sinstaller", // FR
        L"Disinstalla", // IT
        L"Deinstallieren", // DE
        L"Avinstallera", // SV
    },
    // 7 CloseLabel
    {
        L"Close", // EN
        L"Fechar", // PT
        L"Cerrar", // ES
        L"Fermer", // FR
        L"Chiudi", // IT
        L"Schlie\u00DFen", // DE
        L"St\u00E4ng", // SV
    },
    // 8 Installing
    {
        L"Installing\u2026", // EN
        L"Instalando\u2026", // PT
        L"Instalando\u2026", // ES
        L"Installation en cours\u2026", // FR
        L"Installazione in corso\u2026", // IT
        L"Wird installiert\u2026", // DE
        L"Installerar\u2026", // SV
    },
    // 9 DoneInstalled
    {
        L"Done! Start the game and press Ctrl+F10 to get out of the truck.", // EN
        L"Pronto! Abra o jogo e aperte Ctrl+F10 para descer do caminh\u00E3o.", // PT
        L"\u00A1Listo! Abre el juego y pulsa Ctrl+F10 para bajar del cami\u00F3n.", // ES
        L"Termin\u00E9 ! Lancez le jeu et appuyez sur Ctrl+F10 pour descendre du camion.", // FR
        L"Fatto! Avvia il gioco e premi Ctrl+F10 per scendere dal camion.", // IT
        L"Fertig! Starte das Spiel und dr\u00FCcke Ctrl+F10, um aus dem Lkw auszusteigen.", // DE
        L"Klart! Starta spelet och tryck Ctrl+F10 f\u00F6r att kliva ur lastbilen.", // SV
    },
    // 10 Removed
    {
        L"Kestrovane was removed.", // EN
        L"O Kestrovane foi removido.", // PT
        L"Kestrovane se ha eliminado.", // ES
        L"Kestrovane a \u00E9t\u00E9 supprim\u00E9.", // FR
        L"Kestrovane \u00E8 stato rimosso.", // IT
        L"Kestrovane wurde entfernt.", // DE
        L"Kestrovane har tagits bort.", // SV
    },
    // 11 CloseGameFirst
    {
        L"Close the game before installing: ", // EN
        L"Feche o jogo antes de instalar: ", // PT
        L"Cierra el juego antes de instalar: ", // ES
        L"Fermez le jeu avant d'installer : ", // FR
        L"Chiudi il gioco prima di installare: ", // IT
        L"Schlie\u00DFe das Spiel vor der Installation: ", // DE
        L"St\u00E4ng spelet innan du installerar: ", // SV
    },
    // 12 WriteFailed
    {
        L"Could not write to the game folder: ", // EN
        L"N\u00E3o foi poss\u00EDvel gravar na pasta do jogo: ", // PT
        L"No se pudo escribir en la carpeta del juego: ", // ES
        L"Impossible d'\u00E9crire dans le dossier du jeu : ", // FR
        L"Impossibile scrivere nella cartella del gioco: ", // IT
        L"Schreiben in den Spielordner fehlgeschlagen: ", // DE
        L"Kunde inte skriva till spelmappen: ", // SV
    },
    // 13 SelectAtLeastOneGame
    {
        L"Select at least one game.", // EN
        L"Marque pelo menos um jogo.", // PT
        L"Selecciona al menos un juego.", // ES
        L"S\u00E9lectionnez au moins un jeu.", // FR
        L"Seleziona almeno un gioco.", // IT
        L"W\u00E4hle mindestens ein Spiel aus.", // DE
        L"V\u00E4lj minst ett spel.", // SV
    },
    // 14 InstalledWord
    {
        L"installed", // EN
        L"instalado", // PT
        L"instalado", // ES
        L"install\u00E9", // FR
        L"installato", // IT
        L"installiert", // DE
        L"installerat", // SV
    },
    // 15 DevelopedBy
    {
        L"Developed by Brasvell (quorvid_)", // EN
        L"Desenvolvido por Brasvell (quorvid_)", // PT
        L"Desarrollado por Brasvell (quorvid_)", // ES
        L"D\u00E9velopp\u00E9 par Brasvell (quorvid_)", // FR
        L"Sviluppato da Brasvell (quorvid_)", // IT
        L"Entwickelt von Brasvell (quorvid_)", // DE
        L"Utvecklad av Brasvell (quorvid_)", // SV
    },
    // 16 RunAsAdministrator
    {
        L"Run the installer as administrator to write to this folder.", // EN
        L"Execute o instalador como administrador para gravar nesta pasta.", // PT
        L"Ejecuta el instalador como administrador para escribir en esta carpeta.", // ES
        L"Lancez l'installateur en tant qu'administrateur pour \u00E9crire dans ce dossier.", // FR
        L"Esegui il programma di installazione come amministratore per scrivere in questa cartella.", // IT
        L"Starte das Installationsprogramm als Administrator, um in diesen Ordner zu schreiben.", // DE
        L"K\u00F6r installationsprogrammet som administrat\u00F6r f\u00F6r att skriva till den h\u00E4r mappen.", // SV
    },
    // 17 UpdateLabel
    {
        L"Update", // EN
        L"Atualizar", // PT
        L"Actualizar", // ES
        L"Mettre \u00E0 jour", // FR
        L"Aggiorna", // IT
        L"Aktualisieren", // DE
        L"Uppdatera", // SV
    },
    // 18 ReinstallLabel
    {
        L"Reinstall", // EN
        L"Reinstalar", // PT
        L"Reinstalar", // ES
        L"R\u00E9installer", // FR
        L"Reinstalla", // IT
        L"Reinstallieren", // DE
        L"Installera om", // SV
    },
    // 19 UpdateTo
    {
        L"update to", // EN
        L"atualizar para", // PT
        L"actualizar a", // ES
        L"mise \u00E0 jour vers", // FR
        L"aggiorna a", // IT
        L"Update auf", // DE
        L"uppdatera till", // SV
    },
    // 20 AlreadyInstalled
    {
        L"already installed", // EN
        L"j\u00E1 instalada", // PT
        L"ya instalada", // ES
        L"d\u00E9j\u00E0 install\u00E9e", // FR
        L"gi\u00E0 installata", // IT
        L"bereits installiert", // DE
        L"redan installerad", // SV
    },
    // 21 InstalledNewer
    {
        L"installed (newer than this installer)", // EN
        L"instalada (mais nova que este instalador)", // PT
        L"instalada (m\u00E1s nueva que este instalador)", // ES
        L"install\u00E9e (plus r\u00E9cente que cet installateur)", // FR
        L"installata (pi\u00F9 recente di questo installer)", // IT
        L"installiert (neuer als dieses Installationsprogramm)", // DE
        L"installerad (nyare \u00E4n det h\u00E4r installationsprogrammet)", // SV
    },
    // 22 OldPluginFound
    {
        L"old Quillon found: will be replaced", // EN
        L"Quillon antigo encontrado: ser\u00E1 substitu\u00EDdo", // PT
        L"Quillon antiguo encontrado: ser\u00E1 reemplazado", // ES
        L"ancien Quillon trouv\u00E9 : il sera remplac\u00E9", // FR
        L"vecchio Quillon trovato: verr\u00E0 sostituito", // IT
        L"altes Quillon gefunden: wird ersetzt", // DE
        L"gammal Quillon hittad: ers\u00E4tts", // SV
    },
    // 23 HintUpdate
    {
        L"An older version is installed and will be updated. Your settings are kept.", // EN
        L"Uma vers\u00E3o antiga est\u00E1 instalada e ser\u00E1 atualizada. Suas configura\u00E7\u00F5es s\u00E3o mantidas.", // PT
        L"Hay una versi\u00F3n anterior instalada que se actualizar\u00E1. Tu configuraci\u00F3n se conserva.", // ES
        L"Une ancienne version est install\u00E9e et sera mise \u00E0 jour. Vos param\u00E8tres sont conserv\u00E9s.", // FR
        L"\u00C8 installata una versione precedente che verr\u00E0 aggiornata. Le tue impostazioni vengono mantenute.", // IT
        L"Eine \u00E4ltere Version ist installiert und wird aktualisiert. Deine Einstellungen bleiben erhalten.", // DE
        L"En \u00E4ldre version \u00E4r installerad och uppdateras. Dina inst\u00E4llningar beh\u00E5lls.", // SV
    },
    // 24 HintReinstall
    {
        L"This version is already installed. Reinstalling keeps your settings.", // EN
        L"Esta vers\u00E3o j\u00E1 est\u00E1 instalada. Reinstalar mant\u00E9m suas configura\u00E7\u00F5es.", // PT
        L"Esta versi\u00F3n ya est\u00E1 instalada. Reinstalar conserva tu configuraci\u00F3n.", // ES
        L"Cette version est d\u00E9j\u00E0 install\u00E9e. La r\u00E9installation conserve vos param\u00E8tres.", // FR
        L"Questa versione \u00E8 gi\u00E0 installata. La reinstallazione mantiene le tue impostazioni.", // IT
        L"Diese Version ist bereits installiert. Bei einer Neuinstallation bleiben deine Einstellungen erhalten.", // DE
        L"Den h\u00E4r versionen \u00E4r redan installerad. Vid ominstallation beh\u00E5lls dina inst\u00E4llningar.", // SV
    },
    // 25 DoneUpdated
    {
        L"Updated! Your settings were kept. Start the game and press Ctrl+F10 to get out of the truck.", // EN
        L"Atualizado! Suas configura\u00E7\u00F5es foram mantidas. Abra o jogo e aperte Ctrl+F10 para descer do caminh\u00E3o.", // PT
        L"\u00A1Actualizado! Se ha conservado tu configuraci\u00F3n. Abre el juego y pulsa Ctrl+F10 para bajar del cami\u00F3n.", // ES
        L"Mis \u00E0 jour ! Vos param\u00E8tres ont \u00E9t\u00E9 conserv\u00E9s. Lancez le jeu et appuyez sur Ctrl+F10 pour descendre du camion.", // FR
        L"Aggiornato! Le tue impostazioni sono state mantenute. Avvia il gioco e premi Ctrl+F10 per scendere dal camion.", // IT
        L"Aktualisiert! Deine Einstellungen wurden beibehalten. Starte das Spiel und dr\u00FCcke Ctrl+F10, um aus dem Lkw auszusteigen.", // DE
        L"Uppdaterat! Dina inst\u00E4llningar beh\u00F6lls. Starta spelet och tryck Ctrl+F10 f\u00F6r att kliva ur lastbilen.", // SV
    },
    // 26 CheckVerb
    {
        L"Check", // EN
        L"Marcar", // PT
        L"Activar", // ES
        L"Cocher", // FR
        L"Seleziona", // IT
        L"Aktivieren", // DE
        L"Markera", // SV
    },
    // 27 UncheckVerb
    {
        L"Uncheck", // EN
        L"Desmarcar", // PT
        L"Desactivar", // ES
        L"D\u00E9cocher", // FR
        L"Deseleziona", // IT
        L"Deaktivieren", // DE
        L"Avmarkera", // SV
    },
    // 28 PressVerb
    {
        L"Press", // EN
        L"Pressionar", // PT
        L"Presionar", // ES
        L"Appuyer", // FR
        L"Premi", // IT
        L"Dr\u00FCcken", // DE
        L"Tryck", // SV
    },
    // 29 JumpVerb
    {
        L"Jump", // EN
        L"Ir para", // PT
        L"Saltar", // ES
        L"Atteindre", // FR
        L"Vai a", // IT
        L"Springen", // DE
        L"Hoppa", // SV
    },
};
// clang-format on
// A row too many does not compile; a row too few would leave the last one empty.
static_assert(TextIdCount == JumpVerb + 1, "TextIdCount counts the messages");
static_assert(TextTable[TextIdCount - 1][0] != nullptr, "one row per message");

const wchar_t* LookupText(const TextRow& row, UiLanguage language) noexcept {
    // Compared unsigned, so negative languages fall back as well.
    if (static_cast<std::uint32_t>(language) >= static_cast<std::uint32_t>(LanguageCount)) {
        return row[0];
    }
    const wchar_t* text = row[language];
    return text ? text : row[0];
}

const wchar_t* GetText(TextId id, UiLanguage language) noexcept {
    return LookupText(TextTable[id], language);
}

UiLanguage LanguageFromLangId(std::uint16_t langId) noexcept {
    switch (langId & 0x3FF) {
    case 0x07:
        return 5; // German
    case 0x0A:
        return 2; // Spanish
    case 0x0C:
        return 3; // French
    case 0x10:
        return 4; // Italian
    case 0x16:
        return 1; // Portuguese
    case 0x1D:
        return 6; // Swedish
    default:
        return 0;
    }
}
