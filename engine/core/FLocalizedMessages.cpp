#include "core/FLocalizedMessages.h"

#include <atomic>

namespace {

// One text per language: English, French, Spanish, German, Italian.
const char16_t* const k_texts[k_messageKeyCount][FLocalizedMessages::k_languageCount] = {
    // msgIllegalOperation
    {
        u"The application has performed an illegal operation. If this is recurrent, please contact the "
        u"application developer with the following internal message.",
        u"Le logiciel a exécuté une manœuvre illégale. Si cette erreure est fréquente, veuillez svp "
        u"contacter l'équipe de développement du logiciel avec le message interne suivant.",
        u"La aplicación ha realizado una operación no permitida. Si vuelve a ocurrir, contacta con el "
        u"desarrollador y envíale el siguiente mensaje interno.",
        u"Die Anwendung hat eine ungütlige Operation ausgeführt. Sollte das Problem wiederkehren, wenden Sie "
        u"sich bitte an den Entwickler mit dem folgenden Bericht.",
        u"L'applicazione ha eseguito un'operazione non valida. Se si ripete, contatta lo sviluppatore "
        u"segnalando il seguente messaggio interno.",
    },
    // msgSystemError
    {
        u"A system error occured. A system function returned an invalid result.",
        u"Une erreur système est survenue. Une fonction du système a retournée un résultat invalide.",
        u"Se ha producido un error de sistema. Una función del sistema ha devuelto un resultado no válido.",
        u"Es ist ein Systemfehler aufgetreten. Ein Systemaufruf hat ein ungültiges Ergebnis geliefert.",
        u"Si è verificato un errore di sistema. Una funzione standard ha prodotto un risultato non valido.",
    },
    // msgFileCorrupted
    {
        u"A file required by the application is corrupted. You should repair the installation of the "
        u"application.",
        u"Un fichier requis par le logiciel est corrompu. Veuillez SVP réparer l'installation de "
        u"l'application.",
        u"Uno de los archivos necesarios para la aplicación está dañado. Debes volver a instalar la "
        u"aplicación.",
        u"Eine zur Anwendung gehörende Datei ist beschädigt. Sie sollten eine Reparaturinstallation "
        u"durchführen.",
        u"Un file richiesto dall'applicazione è corrotto. Esegui una riparazione dell'installazione.",
    },
    // msgFileMissing
    {
        u"A file required by the application is missing. You should repair the installation of the "
        u"application.",
        u"Un fichier requis par le logiciel est manquant. Veuillez SVP réparer l'installation de "
        u"l'application.",
        u"Falta uno de los archivos necesarios para la aplicación. Debes volver a instalar la aplicación.",
        u"Eine zur Anwendung gehörende Datei fehlt. Sie sollten eine Reparaturinstallation durchführen.",
        u"Un file richiesto dall'applicazione è mancante. Esegui una riparazione dell'installazione.",
    },
    // msgInvalidString
    {
        u"A string is not valid. Usually this means a corrupted file, but it may be caused by an inadvertent "
        u"user entry not supported by the application.",
        u"Une chaîne de caractères n'est pas valide. Habituellement, ceci veut dire un fichier corrompu, "
        u"mais il peut s'agir d'une entrée inadéquate de l'usager.",
        u"Hay una cadena de caracteres no válida. Por lo general esto significa que hay un archivo dañado, "
        u"pero puede deberse a una entrada de usuario que no soporta la aplicación.",
        u"Ungültiger String. Normalerweise handelt es sich hierbei um eine defekte Datei, aber es könnte "
        u"sich auch um eine unbeabsichtigte Benutzereingabe handeln.",
        u"Stringa non valida. Solitamente, questo errore è sintomo di un file corrotto, oppure è stato "
        u"effettuato un inserimento non supportato dall'applicazione.",
    },
    // msgSoundInit
    {
        u"There was a problem initializing the sound driver. Sound is required to execute this application. "
        u"Make sure your drivers are properly installed and up to date.",
        u"Il y a eu un problème lors de l'initialisation du module de sonorisation. L'utilisation d'une "
        u"sortie de son est nécessaire pour le bon fonctionnement de cette application. Veuillez vous "
        u"assurer que vos pilotes sont correctement installés et à jour.",
        u"Se ha producido un error al inicializar el controlador de sonido. Esta aplicación necesita un "
        u"adaptador de sonido para funcionar correctamente. Asegúrate de que tienes instalados los últimos "
        u"controladores.",
        u"Der Soundkartentreiber konnte nicht initialisiert werden. Für diese Anwendung wird eine Soundkarte "
        u"benötigt. Stellen Sie sicher, dass die Soundkartentreiber ordnungsgemäß installiert und aktuell "
        u"sind.",
        u"Impossibile inizializzare i driver della scheda audio. L'audio è indispensabile per eseguire "
        u"questa applicazione. Assicurati di possedere i driver più aggiornati.",
    },
    // msgGraphicsFrame
    {
        u"A graphic adapter error occured while drawing a frame. This might happen if your system has not "
        u"enough video memory (VRAM) to draw a frame or if your driver is out of date. Please verify with "
        u"your system vendor to obtain the latest generation of drivers for your computer.",
        u"Une erreur de l'adaptateur graphique est survenue lors du tracé du dernier écran. Une telle "
        u"situation peut se déclarer si vous ne possédez pas suffisament de mémoire vidéo (VRAM) pour tracer "
        u"l'écran ou si vos pilotes ne sont pas à jour. Veuillez SVP vérifier sur le site du manufacturier "
        u"de votre ordinateur afin d'obtenir la dernière version des pilotes de votre ordinateur.",
        u"Se ha producido un error de adaptador gráfico al mostrar la última imagen.  Puede deberse a que tu "
        u"sistema no tiene suficiente memoria de vídeo (VRAM) para dibujar la imagen o a que el controlador "
        u"gráfico está obsoleto. Comprueba que tienes la última generación de controladores para tu "
        u"ordenador, o pídelos al fabricante.",
        u"Beim Zeichnen eines Frames ist ein Fehler mit der Grafikkarte aufgetreten. Dies kann passieren, "
        u"wenn Ihre Grafikkarte zu wenig Speicher (VRAM) aufweist, um den Frame zu zeichnen oder die Treiber "
        u"veraltet sind. Bitte überprüfen Sie die Aktualität der Treiber für die Grafikkarte.",
        u"Si è verificato un errore con l'adattatore grafico mentre veniva creata l'immagine. Il tuo sistema "
        u"potrebbe non possedere sufficiente memoria video (VRAM) oppure i driver potrebbero essere "
        u"obsoleti. Contatta il fornitore del sistema e verifica di possedere i driver più aggiornati.",
    },
    // msgGraphicsInit
    {
        u"A graphic adapter error occured while initializing the graphical module. This might happen if your "
        u"graphic adapter is not supporting the basic subset of functionnalities required by the "
        u"application, the amount of video RAM is not adequate or if the driver is out of date. Please "
        u"verify with your system vendor to obtain the latest generation of drivers for your computer.",
        u"Une erreur de l'adaptateur graphique est survenue lors de l'initialisation du module graphique. "
        u"Une telle situation peut se déclarer si votre adaptateur graphique ne supporte pas les "
        u"fonctionnalités de bases requises par cette application, si la quantité de mémoire vidéo (VRAM) "
        u"est insuffisante ou si vos pilotes ne sont pas à jour. Veuillez SVP vérifier sur le site du "
        u"manufacturier de votre ordinateur pour obtenir la dernière version des pilotes de votre "
        u"ordinateur.",
        u"Al iniciar el módulo gráfico se ha producido un error de adaptador gráfico. Puede deberse a que tu "
        u"adaptador gráfico no soporta el conjunto de funcionalidades que requiere la aplicación, a que la "
        u"cantidad de memoria de vídeo no es suficiente o a que el controlador está obsoleto. Comprueba que "
        u"tu sistema tiene la última generación de controladores o pídeselos al fabricante.",
        u"Es ist ein Fehler bei der Initialisierung der Grafikkarte aufgetreten. Dies kann passieren, wenn "
        u"Ihre Grafikkarte nicht über die benötigten Funktionen verfügt, um diese Anwendung zu betreiben, "
        u"der Grafikkartentreiber veraltet ist oder der Grafikspeicher nicht ausreicht. Bitte überprüfen Sie "
        u"die Aktualität der Treiber für die Grafikkarte.",
        u"Si è verificato un errore con l'adattatore grafico mentre veniva inizializzato il modulo grafico. "
        u"Il tuo adattatore potrebbe non supportare il sottoinsieme di funzioni necessarie per "
        u"l'applicazione, il sistema potrebbe non possedere sufficiente memoria video (VRAM) oppure i driver "
        u"potrebbero essere obsoleti. Contatta il fornitore del sistema e verifica di possedere i driver più "
        u"aggiornati.",
    },
    // msgSystemTooOld
    {
        u"This computer's operating system is too old to run this application. Please refer to the "
        u"application's minimal requirements for more information.",
        u"Le système d'exploitation de cet ordinateur est trop ancien pour pouvoir faire adéquatement "
        u"fonctionner cette application. Veuillez vous reférer à la configuration minimale requise par "
        u"l'application pour de plus amples renseignements.",
        u"El sistema operativo de este ordenador es demasiado antiguo para ejecutar esta aplicación. "
        u"Consulta los requisitos mínimos del sistema necesarios para esta aplicación.",
        u"Das Betriebssystem dieses Computers ist zu alt für diese Anwendung. Bitte schlagen Sie die "
        u"Mindestvoraussetzungen für dieses Spiel nach, um weitere Informationen zu erhalten.",
        u"Il sistema operativo di questo computer è troppo vecchio per eseguire l'applicazione. Per "
        u"ulteriori informazioni, consulta i requisiti minimi dell'applicazione.",
    },
    // msgWindowsVersion
    {
        u"Could not get the computer's Windows version. This may signify an unsupported operating system. "
        u"Please refer to the application's minimal requirements for more information.",
        u"Il est impossible de déterminer la version du logiciel système de votre ordinateur. Ceci indique "
        u"probablement un système d'exploitation non pris en charge. Veuillez reférer à la configuratioin "
        u"minimale requise par l'application pour de plus amples renseignements.",
        u"Es imposible determinar la versión del software de sistema de tu ordenador. Probablemente se deba "
        u"a un sistema operativo no soportado. Consulta los requisitos mínimos del sistema necesarios para "
        u"esta aplicación.",
        u"Die Windows-Version konnte nicht festgestellt werden. Dies deutet auf ein nicht unterstütztes "
        u"Betriebssystem hin. Bitte schlagen Sie die Mindestvoraussetzungen für dieses Spiel nach, um "
        u"weitere Informationen zu erhalten.",
        u"Impossibile verificare la versione di Windows. Potrebbe trattarsi di un sistema operativo non "
        u"supportato. Per ulteriori informazioni, consulta i requisiti minimi dell'applicazione.",
    },
};

std::atomic<int> s_language{0};

} // namespace

const char16_t* FLocalizedMessages::text(FMessageKey key, int language) noexcept
{
    if (key < 0 || key >= k_messageKeyCount) {
        return u"";
    }
    if (language < 0 || language >= k_languageCount) {
        language = 0;
    }
    return k_texts[key][language];
}

int FLocalizedMessages::language() noexcept
{
    return s_language.load(std::memory_order_relaxed);
}

void FLocalizedMessages::setLanguage(int language) noexcept
{
    s_language.store(language, std::memory_order_relaxed);
}
