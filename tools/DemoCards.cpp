#include "DemoCards.h"

#include "NewCollection.h"

// Grouped by category so the demo collection shows every category with several
// cards; texts mix short lines, long paragraphs, blank lines and numbered steps
// so that display and printing can be tried on realistic content.
static constexpr DemoCard kCards[] = {
    // Windows
    {"WIN", "RACCOURCIS CLAVIER ESSENTIELS DE WINDOWS",
     "Quelques combinaisons avec la touche Windows font gagner beaucoup de temps au quotidien :\n"
     "Win+E : ouvrir l'Explorateur de fichiers.\n"
     "Win+D : afficher le bureau ; un second appui fait réapparaître les fenêtres.\n"
     "Win+L : verrouiller la session avant de quitter son poste.\n"
     "Win+I : ouvrir les Paramètres.\n"
     "Win+V : historique du presse-papiers (à activer lors du premier appel).\n"
     "Win+X : menu d'accès rapide au Gestionnaire de périphériques, à PowerShell ou au Terminal "
     "et aux autres outils système."},
    {"WIN", "OUVRIR LE GESTIONNAIRE DES TÂCHES EN UN RACCOURCI",
     "Ctrl+Maj+Échap ouvre directement le Gestionnaire des tâches, sans passer par l'écran "
     "affiché par Ctrl+Alt+Suppr.\n"
     "\n"
     "Pour fermer un programme figé, sélectionnez-le dans l'onglet Processus puis cliquez sur "
     "« Fin de tâche ». Le travail non enregistré dans ce programme est perdu : n'utilisez ce "
     "moyen que si l'application ne répond vraiment plus depuis un moment.\n"
     "\n"
     "La rubrique Démarrage (Applications de démarrage sous Windows 11) liste les logiciels "
     "lancés à l'ouverture de session. En désactiver quelques-uns, par exemple des utilitaires "
     "de mise à jour ou de synchronisation dont vous n'avez pas besoin, accélère souvent le "
     "démarrage."},
    {"WIN", "AFFICHER LES EXTENSIONS DES NOMS DE FICHIER",
     "Par défaut, l'Explorateur masque les extensions connues : « facture.pdf.exe » apparaît "
     "alors comme « facture.pdf », une ruse classique des pièces jointes malveillantes.\n"
     "Sous Windows 11 : menu Affichage > Afficher > Extensions de noms de fichiers.\n"
     "Sous Windows 10 : onglet Affichage du ruban, cocher « Extensions de noms de fichiers ».\n"
     "Une fois les extensions visibles, méfiez-vous de tout fichier censé être un document mais "
     "dont le nom se termine par .exe, .scr, .js, .vbs ou .bat."},
    {"WIN", "COPIER LE CHEMIN COMPLET D'UN FICHIER",
     "Pour coller l'emplacement exact d'un fichier dans un message ou une boîte de dialogue :\n"
     "1. Dans l'Explorateur, sélectionnez le fichier.\n"
     "2. Sous Windows 11, faites un clic droit puis « Copier en tant que chemin d'accès », ou "
     "appuyez sur Ctrl+Maj+C.\n"
     "3. Sous Windows 10, maintenez Maj enfoncée pendant le clic droit pour faire apparaître "
     "la même commande.\n"
     "4. Collez avec Ctrl+V.\n"
     "Le chemin est copié entre guillemets, par exemple "
     "\"C:\\Users\\Paul\\Documents\\budget.xlsx\", ce qui évite les erreurs lorsque le nom "
     "contient des espaces."},
    {"WIN", "ORGANISER SES FENÊTRES AVEC LE CLAVIER",
     "Win+Flèche gauche ou Win+Flèche droite : la fenêtre occupe la moitié gauche ou droite de "
     "l'écran, et Windows propose ensuite de remplir l'autre moitié avec une des fenêtres "
     "ouvertes.\n"
     "Win+Flèche haut : agrandir la fenêtre.\n"
     "Win+Flèche bas : restaurer, puis réduire la fenêtre.\n"
     "Win+Maj+Flèche gauche ou droite : envoyer la fenêtre sur l'écran voisin.\n"
     "Sous Windows 11, Win+Z affiche les dispositions d'ancrage proposées pour la fenêtre active."},
    {"WIN", "LIBÉRER DE LA PLACE SUR LE DISQUE SYSTÈME",
     "Lorsque le disque C: est presque plein, Windows ralentit et les mises à jour échouent.\n"
     "1. Appuyez sur Win+R, tapez cleanmgr puis validez.\n"
     "2. Choisissez le lecteur C: et cochez les catégories à supprimer (fichiers temporaires, "
     "corbeille, miniatures).\n"
     "3. Cliquez sur « Nettoyer les fichiers système » pour ajouter les restes des anciennes "
     "mises à jour de Windows, souvent volumineux.\n"
     "\n"
     "L'Assistant Stockage (Paramètres > Système > Stockage) peut ensuite faire ce ménage "
     "automatiquement à intervalles réguliers."},

    // Matériel
    {"MAT", "VÉRIFIER L'ÉTAT DE SANTÉ D'UN DISQUE DUR OU D'UN SSD",
     "Les disques durs et les SSD tiennent à jour des indicateurs d'usure appelés données "
     "S.M.A.R.T. : secteurs réalloués, heures de fonctionnement, endurance restante pour un "
     "SSD.\n"
     "\n"
     "Sous Windows, PowerShell donne un diagnostic rapide :\n"
     "Get-PhysicalDisk | Select-Object FriendlyName, MediaType, HealthStatus\n"
     "Sous Linux, le paquet smartmontools fournit la commande sudo smartctl -a /dev/sda.\n"
     "\n"
     "Une valeur HealthStatus autre que Healthy, ou un nombre de secteurs réalloués qui "
     "augmente, doit déclencher une sauvegarde immédiate : la panne complète peut suivre de peu."},
    {"MAT", "CONNAÎTRE LA MÉMOIRE VIVE INSTALLÉE AVANT D'EN AJOUTER",
     "Ouvrez le Gestionnaire des tâches (Ctrl+Maj+Échap), rubrique Performances, puis Mémoire.\n"
     "Vous y lisez la quantité totale, la vitesse et le nombre d'emplacements utilisés, par "
     "exemple « 2 sur 4 ».\n"
     "\n"
     "Avant d'acheter une barrette, vérifiez dans la notice de la carte mère ou du portable le "
     "type exact accepté (DDR4 ou DDR5, format DIMM pour un ordinateur de bureau, SO-DIMM pour "
     "un portable) ainsi que la capacité maximale. Les générations ne sont pas "
     "interchangeables : une barrette DDR5 ne s'insère pas dans un emplacement DDR4.\n"
     "Pour profiter du double canal, installez de préférence des barrettes identiques par "
     "paires.\n"
     "Sur beaucoup de portables récents, la mémoire est soudée et ne peut pas être étendue."},
    {"MAT", "ACCÉDER AU BIOS OU À L'UEFI DEPUIS WINDOWS",
     "La touche d'accès aux réglages du microprogramme varie selon le fabricant (Suppr, F2, "
     "F10 ou Échap), et le démarrage rapide laisse souvent trop peu de temps pour l'utiliser. "
     "Windows permet d'y aller directement :\n"
     "1. Ouvrez Paramètres > Système > Récupération (Mise à jour et sécurité > Récupération "
     "sous Windows 10).\n"
     "2. Dans « Démarrage avancé », cliquez sur « Redémarrer maintenant ».\n"
     "3. Choisissez Dépannage > Options avancées > Paramètres du microprogramme UEFI, puis "
     "Redémarrer.\n"
     "Autre solution, depuis une invite de commandes ouverte en tant qu'administrateur :\n"
     "shutdown /r /fw /t 0"},
    {"MAT", "IMPRESSION BLOQUÉE : VIDER LA FILE D'ATTENTE",
     "Quand un document reste coincé dans la file et bloque tous les suivants, l'annuler "
     "depuis la fenêtre de l'imprimante ne suffit pas toujours. Il faut alors redémarrer le "
     "service d'impression, appelé spouleur :\n"
     "1. Ouvrez une invite de commandes en tant qu'administrateur.\n"
     "2. Tapez net stop spooler\n"
     "3. Supprimez le contenu du dossier C:\\Windows\\System32\\spool\\PRINTERS\n"
     "4. Tapez net start spooler\n"
     "Tous les travaux en attente sont effacés : relancez ensuite l'impression des documents "
     "voulus."},
    {"MAT", "CHOISIR LE BON CÂBLE USB-C",
     "USB-C désigne seulement la forme de la prise : deux câbles d'aspect identique peuvent "
     "avoir des capacités très différentes.\n"
     "Débit : certains câbles, souvent fournis avec les chargeurs, sont limités à l'USB 2.0 "
     "(480 Mbit/s), ce qui rend très lentes les copies vers un disque externe.\n"
     "Puissance : un câble ordinaire transporte jusqu'à 60 W. Au-delà, pour un portable "
     "gourmand, il faut un câble 5 A doté d'une puce d'identification (e-marker), donné pour "
     "100 W, voire 240 W pour les plus récents.\n"
     "Vidéo : pour brancher un écran, le câble doit transmettre le signal DisplayPort, ce que "
     "ne font pas les câbles prévus pour la seule recharge.\n"
     "En cas de doute, choisissez un câble dont l'emballage indique clairement le débit et la "
     "puissance."},

    // Multimédia
    {"MUL", "CAPTURE D'ÉCRAN : TOUS LES RACCOURCIS DE WINDOWS",
     "Impr. écran : copie l'écran entier dans le presse-papiers.\n"
     "Alt+Impr. écran : copie uniquement la fenêtre active.\n"
     "Win+Impr. écran : enregistre directement un fichier PNG dans Images\\Captures d'écran.\n"
     "Win+Maj+S : sélection d'une zone, d'une fenêtre ou de l'écran avec l'Outil Capture.\n"
     "\n"
     "Sous Windows 11, la touche Impr. écran seule ouvre parfois l'Outil Capture au lieu de "
     "copier l'écran ; ce comportement se règle dans Paramètres > Accessibilité > Clavier."},
    {"MUL", "LIRE UNE VIDÉO DONT LE FORMAT N'EST PAS RECONNU",
     "Une extension comme .mp4 ou .mkv désigne un conteneur ; l'image et le son qu'il renferme "
     "sont compressés avec des codecs (H.264, H.265/HEVC, AV1, AAC, etc.). Un lecteur qui fait "
     "entendre le son sans afficher l'image, ou l'inverse, ne connaît pas l'un de ces codecs.\n"
     "\n"
     "Le lecteur libre VLC intègre la plupart des codecs et lit presque tout sans rien "
     "installer d'autre.\n"
     "Sous Windows, la lecture du HEVC dans les applications de Microsoft demande une "
     "extension supplémentaire, disponible dans le Microsoft Store.\n"
     "Évitez les « packs de codecs » proposés par des sites inconnus : ils servent souvent à "
     "diffuser des logiciels indésirables."},
    {"MUL", "RÉDUIRE LE POIDS D'UNE PHOTO AVANT DE L'ENVOYER",
     "Une photo prise au téléphone mesure souvent 4000 pixels de large et pèse plusieurs "
     "mégaoctets, bien plus que nécessaire pour un affichage à l'écran.\n"
     "1. Ouvrez une copie de la photo dans Paint.\n"
     "2. Appuyez sur Ctrl+W (Redimensionner), choisissez Pixels et indiquez 1600 en largeur, "
     "proportions conservées.\n"
     "3. Enregistrez au format JPEG sous un nouveau nom pour garder l'original intact.\n"
     "Le fichier obtenu ne pèse en général que quelques centaines de kilo-octets et reste "
     "parfaitement net à l'écran."},
    {"MUL", "JPEG, PNG OU WEBP : QUEL FORMAT D'IMAGE CHOISIR",
     "JPEG : idéal pour les photos. Sa compression avec perte réduit fortement le poids, mais "
     "chaque nouvel enregistrement dégrade un peu l'image.\n"
     "PNG : compression sans perte et gestion de la transparence. À préférer pour les captures "
     "d'écran, les schémas et les logos, où le JPEG ferait apparaître des bavures autour du "
     "texte.\n"
     "WebP : format plus récent, avec ou sans perte, généralement plus léger que les deux "
     "précédents ; tous les navigateurs actuels le lisent, mais pas toujours les logiciels "
     "plus anciens.\n"
     "GIF : limité à 256 couleurs, il ne sert plus guère qu'aux petites animations.\n"
     "\n"
     "Retouchez toujours à partir de l'original, jamais d'un JPEG déjà réenregistré plusieurs "
     "fois."},
    {"MUL", "RACCOURCIS CLAVIER UTILES DANS VLC",
     "Sous Windows comme sous Linux, VLC se pilote presque entièrement au clavier :\n"
     "Espace : lecture ou pause.\n"
     "F : plein écran ; Échap pour en sortir.\n"
     "M : couper ou rétablir le son.\n"
     "Ctrl+Flèche haut ou bas : régler le volume.\n"
     "Maj+Flèche droite : avancer de 3 secondes ; Alt+Flèche droite : de 10 secondes ; "
     "Ctrl+Flèche droite : d'une minute. La flèche gauche fait de même en arrière.\n"
     "V : passer d'une piste de sous-titres à l'autre.\n"
     "E : avancer image par image, pratique pour saisir un instant précis."},

    // Internet
    {"INT", "CRÉER UN MOT DE PASSE SOLIDE ET FACILE À RETENIR",
     "La longueur compte davantage que la complexité. Une phrase de passe formée de quatre ou "
     "cinq mots tirés au hasard, par exemple « tortue-cadran-piment-orage-velours », résiste "
     "bien mieux qu'un mot court truffé de symboles, tout en restant facile à mémoriser.\n"
     "\n"
     "N'utilisez jamais le même mot de passe sur deux sites : une seule fuite suffirait à "
     "ouvrir tous vos comptes.\n"
     "Un gestionnaire de mots de passe (Bitwarden, KeePassXC ou celui du navigateur) crée et "
     "retient un mot de passe différent pour chaque site ; il ne reste qu'un mot de passe "
     "principal à connaître.\n"
     "Soignez tout particulièrement ceux de la messagerie et du gestionnaire : ils protègent "
     "tous les autres."},
    {"INT", "ACTIVER LA VALIDATION EN DEUX ÉTAPES",
     "La validation en deux étapes demande, en plus du mot de passe, un code à usage unique ou "
     "une confirmation sur le téléphone. Un pirate qui a dérobé le mot de passe ne peut alors "
     "pas se connecter.\n"
     "1. Ouvrez les paramètres de sécurité du compte (messagerie, banque, réseau social).\n"
     "2. Choisissez de préférence une application d'authentification plutôt que le SMS, plus "
     "facile à détourner.\n"
     "3. Imprimez ou notez les codes de secours et rangez-les à part : ils permettent de "
     "récupérer le compte si le téléphone est perdu.\n"
     "Commencez par le compte de messagerie : c'est par lui que passent les réinitialisations de "
     "tous les autres mots de passe."},
    {"INT", "RECONNAÎTRE UN E-MAIL D'HAMEÇONNAGE",
     "Examinez l'adresse réelle de l'expéditeur, pas seulement le nom affiché : « Service "
     "client <securite@banque-verif-compte.com> » n'a rien à voir avec votre banque.\n"
     "Survolez les liens sans cliquer : l'adresse qui s'affiche doit correspondre au site "
     "officiel.\n"
     "Méfiez-vous de l'urgence (« votre compte sera suspendu sous 24 heures »), des pièces "
     "jointes inattendues et de toute demande de mot de passe ou de code bancaire.\n"
     "\n"
     "En cas de doute, ne répondez pas et rendez-vous sur le site en tapant vous-même son "
     "adresse. Aucune banque ni administration ne demande un mot de passe par e-mail."},
    {"INT", "CHANGER DE SERVEUR DNS SOUS WINDOWS",
     "Le serveur DNS traduit les noms de sites en adresses IP. Celui du fournisseur d'accès "
     "est utilisé par défaut, mais on peut en choisir un autre, par exemple 1.1.1.1 "
     "(Cloudflare), 9.9.9.9 (Quad9, qui bloque les domaines malveillants connus) ou 8.8.8.8 "
     "(Google).\n"
     "1. Paramètres > Réseau et Internet, puis Wi-Fi ou Ethernet selon la connexion.\n"
     "2. Ouvrez les propriétés de la connexion et cliquez sur « Modifier » en face de « "
     "Attribution du serveur DNS ».\n"
     "3. Passez en mode Manuel, activez IPv4 et saisissez l'adresse choisie.\n"
     "Après le changement, la commande ipconfig /flushdns vide le cache DNS de Windows."},
    {"INT", "RACCOURCIS DU NAVIGATEUR : ROUVRIR UN ONGLET FERMÉ",
     "Ctrl+Maj+T rouvre le dernier onglet fermé, voire toute une fenêtre fermée par erreur ; "
     "chaque nouvel appui remonte un peu plus loin. Ce raccourci fonctionne dans Firefox, "
     "Chrome et Edge.\n"
     "Autres raccourcis communs :\n"
     "Ctrl+T : nouvel onglet ; Ctrl+W : fermer l'onglet.\n"
     "Ctrl+Tab : onglet suivant ; Ctrl+Maj+Tab : onglet précédent.\n"
     "Ctrl+L : sélectionner la barre d'adresse.\n"
     "Ctrl+H : afficher l'historique.\n"
     "Ctrl+Maj+Suppr : effacer les données de navigation."},
    {"INT", "RETROUVER LE MOT DE PASSE WI-FI ENREGISTRÉ",
     "Pour connecter un nouvel appareil quand on a oublié la clé du réseau, un ordinateur "
     "Windows déjà connecté la connaît encore.\n"
     "1. Ouvrez une invite de commandes en tant qu'administrateur.\n"
     "2. Listez les réseaux mémorisés : netsh wlan show profiles\n"
     "3. Affichez la clé : netsh wlan show profile name=\"NomDuRéseau\" key=clear\n"
     "La clé apparaît sur la ligne « Contenu de la clé ». Elle figure souvent aussi sur "
     "l'étiquette collée sous la box."},

    // Divers
    {"DIVE", "LA RÈGLE DE SAUVEGARDE 3-2-1",
     "Pour ne pas perdre ses fichiers, on recommande de conserver :\n"
     "3 copies des données (l'original et deux sauvegardes) ;\n"
     "2 supports différents, par exemple le disque interne et un disque externe ;\n"
     "1 copie hors du domicile : un disque confié à un proche ou un service en ligne.\n"
     "\n"
     "Un disque externe branché en permanence n'est pas une vraie sauvegarde : un rançongiciel, "
     "une surtension ou un cambriolage peut emporter l'original et la copie en même temps. "
     "Débranchez-le après chaque sauvegarde et vérifiez de temps en temps que vous savez "
     "réellement restaurer un fichier."},
    {"DIVE", "COMMANDES LINUX DE BASE POUR SE REPÉRER",
     "pwd : affiche le dossier courant.\n"
     "ls -l : liste les fichiers avec leur taille, leur date et leurs droits ; ajoutez -a pour "
     "voir aussi les fichiers cachés.\n"
     "cd dossier : entre dans un dossier ; cd .. remonte d'un niveau ; cd seul ramène au "
     "dossier personnel.\n"
     "cp -r source destination : copie un dossier et tout son contenu.\n"
     "mv ancien nouveau : déplace ou renomme.\n"
     "rm fichier : supprime définitivement, sans passer par une corbeille.\n"
     "man commande : affiche le manuel d'une commande ; la touche q le referme."},
    {"DIVE", "TROUVER LES FICHIERS LES PLUS VOLUMINEUX SOUS LINUX",
     "df -h indique l'espace libre de chaque partition, en unités lisibles (G pour gigaoctet, "
     "M pour mégaoctet).\n"
     "du -sh * | sort -h classe les éléments du dossier courant du plus petit au plus gros.\n"
     "find ~ -type f -size +500M liste les fichiers de plus de 500 Mo du dossier personnel.\n"
     "\n"
     "Les coupables habituels sont les téléchargements oubliés, les images de machines "
     "virtuelles et les caches. Sur Debian et Ubuntu, sudo apt clean vide le cache des paquets "
     "téléchargés."},
    {"DIVE", "TAPER LES CARACTÈRES SPÉCIAUX FRANÇAIS AU CLAVIER",
     "Sous Windows, maintenez Alt et tapez le code sur le pavé numérique, Verr. Num activé :\n"
     "Alt+0201 : É ; Alt+0200 : È ; Alt+0192 : À ; Alt+0199 : Ç\n"
     "Alt+0156 : œ ; Alt+0140 : Œ ; Alt+0171 : « ; Alt+0187 : »\n"
     "Sur un clavier AZERTY, AltGr+E donne le symbole €.\n"
     "\n"
     "Win+; (point-virgule) ouvre aussi un panneau d'emojis et de symboles, où l'on choisit le "
     "caractère voulu à la souris."},
    {"DIVE", "COMPRESSER DES FICHIERS DANS UNE ARCHIVE ZIP",
     "Sous Windows 11 : clic droit sur les fichiers sélectionnés, puis « Compresser dans un "
     "fichier ZIP » (ou « Compresser vers > Fichier ZIP » selon la version).\n"
     "Sous Windows 10 : clic droit, « Envoyer vers » puis « Dossier compressé ».\n"
     "Pour extraire, clic droit sur l'archive puis « Extraire tout ».\n"
     "\n"
     "Le logiciel libre 7-Zip ouvre aussi les formats .7z et .rar et permet de protéger une "
     "archive par mot de passe ; choisissez alors le chiffrement AES-256.\n"
     "Sous Linux : zip -r archive.zip dossier pour créer, unzip archive.zip pour extraire ; tar "
     "-czf archive.tar.gz dossier et tar -xzf archive.tar.gz pour le format tar.gz."},
    {"DIVE", "CSV : UN FORMAT DE FICHIER SIMPLE MAIS PIÉGEUX",
     "Un fichier CSV est du texte brut : une ligne par enregistrement, des champs séparés par "
     "un caractère choisi.\n"
     "Le séparateur : en France, Excel utilise le point-virgule, car la virgule sert de "
     "séparateur décimal. Un fichier produit par un logiciel anglophone, séparé par des "
     "virgules, s'affiche alors tout entier dans une seule colonne.\n"
     "L'encodage : des accents transformés en « Ã© » signalent un fichier UTF-8 lu comme du "
     "texte ANSI. Dans Excel, passez par Données > À partir d'un fichier texte/CSV pour "
     "choisir l'origine « 65001 : Unicode (UTF-8) » et le bon délimiteur.\n"
     "Les zéros en tête : un code postal comme 01000 devient 1000 s'il est interprété comme un "
     "nombre ; importez cette colonne au format Texte."},

    // Access
    {"ACCE", "COMPACTER ET RÉPARER UNE BASE ACCESS",
     "Une base Access grossit au fil du temps : l'espace occupé par les enregistrements "
     "supprimés et les objets temporaires n'est pas rendu automatiquement. La taille d'un "
     "fichier .accdb étant limitée à 2 Go, un compactage régulier est indispensable.\n"
     "1. Faites une copie du fichier et vérifiez que personne d'autre n'a la base ouverte.\n"
     "2. Fichier > Informations > Compacter et réparer la base de données.\n"
     "L'option Fichier > Options > Base de données active > « Compacter lors de la fermeture » "
     "automatise l'opération, au prix d'une fermeture un peu plus lente."},
    {"ACCE", "CRÉER UNE REQUÊTE PARAMÉTRÉE DANS ACCESS",
     "Plutôt que de dupliquer une requête pour chaque ville ou chaque période, laissez Access "
     "poser la question au moment de l'exécution.\n"
     "En mode Création, tapez dans la ligne Critères un texte entre crochets, par exemple :\n"
     "[Quelle ville ?]\n"
     "Pour une recherche partielle : Comme \"*\" & [Nom contenant :] & \"*\"\n"
     "Pour une période : Entre [Date de début] Et [Date de fin]\n"
     "\n"
     "Le texte entre crochets ne doit pas être identique au nom d'un champ, sinon Access utilise "
     "la valeur de ce champ au lieu de poser la question."},
    {"ACCE", "DÉFINIR UNE CLÉ PRIMAIRE ET DES RELATIONS ENTRE TABLES",
     "Chaque table doit avoir une clé primaire qui identifie chaque ligne de façon unique ; un "
     "champ NuméroAuto convient dans la plupart des cas.\n"
     "1. Ouvrez Outils de base de données > Relations.\n"
     "2. Ajoutez les tables concernées, puis faites glisser la clé primaire d'une table (par "
     "exemple IdClient dans Clients) sur le champ correspondant de l'autre (IdClient dans "
     "Commandes).\n"
     "3. Cochez « Appliquer l'intégrité référentielle » : Access refusera alors une commande "
     "rattachée à un client inexistant.\n"
     "Les deux champs reliés doivent être de même type : un NuméroAuto se relie à un champ "
     "Numérique de taille Entier long."},
    {"ACCE", "FRACTIONNER UNE BASE ACCESS POUR LE TRAVAIL À PLUSIEURS",
     "Lorsque plusieurs personnes utilisent la même base sur le réseau, séparez les données de "
     "l'interface.\n"
     "Outils de base de données > Déplacer les données > Base de données Access lance "
     "l'assistant de fractionnement. Il crée une base principale qui ne contient que les "
     "tables, à placer sur le partage réseau, et une base frontale avec les requêtes, "
     "formulaires et états, reliée à ces tables par des liaisons.\n"
     "Chaque utilisateur travaille sur sa propre copie de la base frontale : on peut modifier "
     "un formulaire sans déranger les autres, et le risque de corruption diminue nettement.\n"
     "Si le dossier partagé change d'emplacement, le Gestionnaire de tables liées (onglet "
     "Données externes) met les liaisons à jour."},

    // Excel
    {"EXCE", "COPIER UNE FORMULE SANS DÉCALER LES RÉFÉRENCES",
     "Quand on recopie une formule, Excel décale ses références : =B2*C1 devient =B3*C2 une "
     "ligne plus bas. Pour qu'une cellule reste fixe, par exemple un taux de TVA saisi en C1, "
     "ajoutez le signe $ : =B2*$C$1.\n"
     "Dans la barre de formule, placez le curseur sur la référence et appuyez sur F4 pour "
     "faire défiler les variantes :\n"
     "$C$1 : ligne et colonne fixes ;\n"
     "C$1 : seule la ligne est fixe ;\n"
     "$C1 : seule la colonne est fixe ;\n"
     "C1 : référence entièrement relative."},
    {"EXCE", "FIGER LES VOLETS POUR GARDER LES TITRES VISIBLES",
     "Dans un long tableau, les en-têtes de colonnes disparaissent dès qu'on fait défiler.\n"
     "Affichage > Figer les volets > Figer la ligne supérieure garde la première ligne à "
     "l'écran.\n"
     "Pour bloquer à la fois des lignes et des colonnes, sélectionnez la cellule située juste "
     "en dessous et à droite de la zone à figer, par exemple B2 pour garder la ligne 1 et la "
     "colonne A, puis choisissez Affichage > Figer les volets > Figer les volets.\n"
     "La même commande devient « Libérer les volets » pour revenir à la normale."},
    {"EXCE", "RECHERCHER UNE VALEUR DANS UN TABLEAU AVEC RECHERCHEX",
     "=RECHERCHEX(A2;Produits!A:A;Produits!C:C;\"Introuvable\")\n"
     "Cette formule cherche la valeur de A2 dans la colonne A de la feuille Produits et "
     "renvoie la valeur de la colonne C sur la même ligne, ou le texte « Introuvable » si rien "
     "ne correspond.\n"
     "\n"
     "RECHERCHEX existe dans Microsoft 365 et Excel 2021. Dans les versions plus anciennes, "
     "utilisez :\n"
     "=RECHERCHEV(A2;Produits!A:C;3;FAUX)\n"
     "Le dernier argument FAUX est essentiel : sans lui, RECHERCHEV suppose la première colonne "
     "triée et peut renvoyer une valeur approchée, donc fausse."},
    {"EXCE", "RACCOURCIS CLAVIER POUR SE DÉPLACER DANS EXCEL",
     "Ctrl+Flèche : sauter au bord du bloc de données dans la direction choisie.\n"
     "Ctrl+Maj+Flèche : sélectionner jusqu'au bord du bloc.\n"
     "Ctrl+Début : revenir en A1 ; Ctrl+Fin : aller à la dernière cellule utilisée.\n"
     "Ctrl+Page suivante et Ctrl+Page précédente : passer d'une feuille à l'autre.\n"
     "F2 : modifier la cellule active sans effacer son contenu.\n"
     "Alt+Entrée : aller à la ligne à l'intérieur d'une cellule.\n"
     "Ctrl+; : insérer la date du jour."},
    {"EXCE", "IMPRIMER UN TABLEAU EXCEL SUR UNE SEULE PAGE DE LARGE",
     "Pour éviter qu'une colonne isolée parte sur une feuille à part :\n"
     "1. Onglet Mise en page, groupe Mise à l'échelle : Largeur « 1 page », Hauteur « "
     "Automatique ».\n"
     "2. Mise en page > Imprimer les titres : dans « Lignes à répéter en haut », indiquez "
     "$1:$1 pour que la ligne d'en-têtes figure sur chaque page.\n"
     "3. Vérifiez l'aperçu dans Fichier > Imprimer avant de lancer l'impression.\n"
     "\n"
     "Si seule une partie de la feuille doit sortir, sélectionnez-la puis choisissez Mise en "
     "page > Zone d'impression > Définir."},
    {"EXCE", "PROTÉGER UNE FEUILLE EXCEL PAR MOT DE PASSE",
     "La protection de feuille empêche d'écraser les formules par erreur tout en laissant "
     "saisir dans les cellules prévues.\n"
     "1. Sélectionnez les cellules de saisie, appuyez sur Ctrl+1 et, dans l'onglet Protection, "
     "décochez « Verrouillée ».\n"
     "2. Révision > Protéger la feuille, puis saisissez un mot de passe (facultatif).\n"
     "\n"
     "Cette protection évite les fausses manœuvres mais ne résiste pas à quelqu'un de déterminé. "
     "Pour rendre un classeur réellement illisible sans mot de passe, utilisez Fichier > "
     "Informations > Protéger le classeur > Chiffrer avec mot de passe, et notez ce mot de passe "
     "en lieu sûr : il est impossible de le récupérer."},

    // Office
    {"OFFI", "RÉCUPÉRER UN DOCUMENT OFFICE NON ENREGISTRÉ",
     "Après une panne ou une fermeture sans enregistrer, tout n'est pas forcément perdu.\n"
     "Au redémarrage, Word, Excel et PowerPoint affichent souvent un volet « Récupération de "
     "document » : ouvrez chaque version proposée et enregistrez celle qui convient.\n"
     "Sinon, dans Word : Fichier > Informations > Gérer le document > Récupérer les documents "
     "non enregistrés. Dans Excel, la commande se trouve sous « Gérer le classeur ».\n"
     "\n"
     "Fichier > Options > Enregistrement règle la fréquence des informations de récupération "
     "automatique, 10 minutes par défaut ; 5 minutes réduit encore le risque."},
    {"OFFI", "COLLER DU TEXTE SANS SA MISE EN FORME",
     "Un texte copié depuis une page web arrive avec ses polices, ses couleurs et ses liens, "
     "qui détonnent dans le document.\n"
     "Dans Word, Ctrl+Alt+V ouvre le Collage spécial : choisissez « Texte sans mise en forme ».\n"
     "Après un collage ordinaire, le petit bouton Options de collage qui apparaît propose "
     "aussi « Conserver uniquement le texte ».\n"
     "Pour en faire le comportement par défaut : Fichier > Options > Options avancées, rubrique "
     "Couper, copier et coller, « Collage à partir d'autres programmes » : Conserver uniquement "
     "le texte."},
    {"OFFI", "AJOUTER UNE COMMANDE À LA BARRE D'OUTILS ACCÈS RAPIDE",
     "Une commande utilisée sans cesse mérite d'être toujours à portée de clic : faites un "
     "clic droit sur son bouton dans le ruban et choisissez « Ajouter à la barre d'outils "
     "Accès rapide ».\n"
     "La touche Alt affiche ensuite un numéro sous chaque bouton de cette barre : Alt+1, "
     "Alt+2, etc. déclenchent ces commandes au clavier.\n"
     "Dans les versions récentes, si la barre n'est pas visible, faites un clic droit sur le "
     "ruban puis « Afficher la barre d'outils Accès rapide »."},
    {"OFFI", "CONVERTIR UN FICHIER OFFICE EN PDF",
     "Word, Excel et PowerPoint créent des PDF sans logiciel supplémentaire :\n"
     "1. Fichier > Enregistrer sous (ou Fichier > Exporter > Créer un document PDF/XPS).\n"
     "2. Choisissez le type PDF.\n"
     "3. Le bouton Options permet de limiter les pages exportées et, dans Word, de créer des "
     "signets à partir des titres, très pratiques pour naviguer dans un long document.\n"
     "Dans Excel, seule la feuille active est exportée par défaut : cochez « Classeur entier » "
     "dans les options pour tout inclure."},
    {"OFFI", "RACCOURCIS COMMUNS À TOUTE LA SUITE OFFICE",
     "Ces raccourcis fonctionnent de la même façon dans Word, Excel et PowerPoint :\n"
     "Ctrl+Z : annuler ; Ctrl+Y : rétablir ou répéter la dernière action.\n"
     "F12 : Enregistrer sous.\n"
     "Ctrl+P : imprimer.\n"
     "F7 : vérifier l'orthographe.\n"
     "Alt : afficher les lettres d'accès des onglets du ruban pour tout piloter au clavier.\n"
     "Maj+F3 change la casse du texte sélectionné dans Word et PowerPoint ; attention, dans "
     "Excel il ouvre l'assistant Insérer une fonction."},

    // OpenOffice / LibreOffice
    {"OPEN", "EXPORTER UN DOCUMENT EN PDF AVEC LIBREOFFICE",
     "Fichier > Exporter au format PDF ouvre une fenêtre d'options complète ; le bouton PDF de "
     "la barre d'outils exporte directement avec les réglages par défaut.\n"
     "Options utiles :\n"
     "PDF hybride : le document d'origine est intégré au PDF, qui reste modifiable en le "
     "rouvrant dans LibreOffice.\n"
     "PDF/A : format normalisé pour l'archivage à long terme, exigé par certaines "
     "administrations.\n"
     "Onglet Sécurité : mot de passe d'ouverture ou restrictions d'impression et de copie."},
    {"OPEN", "ENREGISTRER PAR DÉFAUT AU FORMAT WORD OU EXCEL",
     "Si vous échangez souvent avec des utilisateurs de Microsoft Office, LibreOffice peut "
     "enregistrer d'office en .docx, .xlsx et .pptx.\n"
     "1. Outils > Options > Chargement/enregistrement > Général.\n"
     "2. Dans la partie « Format de fichier par défaut », choisissez le type de document "
     "(Document texte, Classeur, Présentation) puis le format souhaité, par exemple Word "
     "2007-365.\n"
     "3. Décochez si vous le souhaitez l'avertissement affiché lors d'un enregistrement dans "
     "un format autre qu'ODF.\n"
     "\n"
     "Les mises en page complexes restent plus fidèles dans le format natif ODF : gardez-le pour "
     "vos propres documents."},
    {"OPEN", "WRITER : UNE SEULE PAGE EN PAYSAGE DANS UN DOCUMENT",
     "Dans Writer, l'orientation dépend du style de page. Pour passer une seule page en "
     "paysage :\n"
     "1. Placez le curseur au début de la page concernée.\n"
     "2. Insertion > Plus de sauts > Saut manuel.\n"
     "3. Choisissez Saut de page et le style Paysage, puis validez.\n"
     "4. Au début de la page suivante, insérez un nouveau saut manuel avec le style de page par "
     "défaut (nommé Standard dans les anciennes versions) pour revenir en portrait."},
    {"OPEN", "CALC : CRÉER UNE LISTE DÉROULANTE DE CHOIX",
     "1. Saisissez les choix possibles dans une plage, par exemple E1:E5 d'une feuille nommée "
     "Listes.\n"
     "2. Sélectionnez les cellules de saisie, puis Données > Validité.\n"
     "3. Dans Autoriser, choisissez « Plage de cellules » et indiquez $Listes.$E$1:$E$5 comme "
     "source.\n"
     "4. Dans l'onglet Message d'erreur, activez le message avec l'action Stop pour refuser "
     "toute autre valeur.\n"
     "Une flèche apparaît alors à côté de la cellule pour choisir la valeur à la souris."},

    // Outlook
    {"OUTL", "CRÉER UNE RÈGLE POUR CLASSER LE COURRIER",
     "Les lettres d'information et les notifications encombrent la boîte de réception ; une "
     "règle peut les ranger dès leur arrivée.\n"
     "1. Faites un clic droit sur un message de l'expéditeur, puis Règles > Créer une règle.\n"
     "2. Cochez la condition portant sur l'expéditeur et l'action « Déplacer l'élément vers le "
     "dossier », puis choisissez le dossier.\n"
     "3. Acceptez d'exécuter la règle tout de suite sur les messages déjà présents.\n"
     "\n"
     "Accueil > Règles > Gérer les règles et les alertes permet de modifier, d'ordonner ou de "
     "désactiver les règles existantes."},
    {"OUTL", "RÉPONSE AUTOMATIQUE PENDANT LES CONGÉS",
     "Avec un compte Microsoft 365, Exchange ou Outlook.com : Fichier > Réponses automatiques. "
     "Indiquez les dates d'absence et le message ; le serveur répond même lorsque l'ordinateur "
     "est éteint.\n"
     "Un message différent peut être rédigé pour les correspondants extérieurs à "
     "l'organisation.\n"
     "\n"
     "Avec un compte POP ou IMAP, cette commande n'existe pas. Une règle qui répond à l'aide "
     "d'un modèle peut la remplacer, mais Outlook doit alors rester ouvert pendant toute "
     "l'absence, sinon rien ne part. Le plus simple est souvent de programmer la réponse depuis "
     "le webmail du fournisseur."},
    {"OUTL", "RÉDUIRE UN FICHIER DE DONNÉES OUTLOOK TROP VOLUMINEUX",
     "Un fichier .pst de plusieurs gigaoctets ralentit Outlook et augmente le risque de "
     "corruption.\n"
     "1. Videz le dossier Éléments supprimés et effacez les gros messages inutiles ; un tri de "
     "la liste par taille aide à les repérer.\n"
     "2. Compactez le fichier : Fichier > Paramètres du compte > Paramètres du compte, onglet "
     "Fichiers de données, bouton Paramètres, puis « Compacter maintenant ».\n"
     "\n"
     "Si Outlook signale des erreurs à l'ouverture du fichier, l'outil de réparation de la boîte "
     "de réception (scanpst.exe), installé avec Office, peut le remettre en état. Faites d'abord "
     "une copie du fichier."},
    {"OUTL", "RACCOURCIS CLAVIER D'OUTLOOK",
     "Ctrl+1 : Courrier ; Ctrl+2 : Calendrier ; Ctrl+3 : Contacts.\n"
     "Ctrl+N : nouvel élément du module affiché (message, rendez-vous, contact).\n"
     "Ctrl+R : répondre ; Ctrl+Maj+R : répondre à tous ; Ctrl+F : transférer.\n"
     "Ctrl+E : rechercher dans le dossier affiché.\n"
     "Ctrl+Entrée : envoyer le message en cours de rédaction (Outlook demande confirmation la "
     "première fois).\n"
     "\n"
     "Attention : contrairement à la plupart des logiciels, Ctrl+F ne lance pas de recherche "
     "dans Outlook."},

    // PaintShop
    {"PAIN", "RECADRER UNE PHOTO DANS PAINTSHOP PRO",
     "1. Choisissez l'outil Recadrer dans la palette Outils.\n"
     "2. Tracez le cadre sur l'image. La palette Options d'outils propose des tailles "
     "prédéfinies (10 x 15 cm, 4:3, etc.) pour respecter le format d'un tirage.\n"
     "3. Validez en cliquant sur la coche verte ou en double-cliquant dans le cadre.\n"
     "Enregistrez le résultat sous un nouveau nom : le recadrage supprime définitivement les "
     "pixels situés hors du cadre."},
    {"PAIN", "CORRIGER LES YEUX ROUGES DANS PAINTSHOP PRO",
     "Le flash, renvoyé par le fond de l'œil, rend souvent les pupilles rouges.\n"
     "Correction rapide : l'outil Yeux rouges de la palette Outils. Réglez sa taille pour "
     "qu'elle couvre à peine la pupille, puis cliquez sur chaque œil.\n"
     "Pour plus de contrôle, la commande Réglage > Suppression des yeux rouges permet de "
     "choisir la couleur de l'iris et l'aspect de la pupille, pour un résultat plus naturel.\n"
     "Zoomez fortement sur l'œil avant de corriger : une zone trop large assombrit la peau "
     "autour."},
    {"PAIN", "TRAVAILLER AVEC DES CALQUES DANS PAINTSHOP PRO",
     "Avant toute retouche importante, dupliquez le calque d'arrière-plan (Calques > "
     "Dupliquer) et travaillez sur la copie. En masquant ce calque avec l'icône en forme "
     "d'œil, vous comparez avant et après ; en le supprimant, vous revenez à l'original.\n"
     "Les calques de réglage (Calques > Nouveau calque de réglage) modifient la luminosité, le "
     "contraste ou les couleurs sans toucher aux pixels, et restent modifiables à tout moment.\n"
     "\n"
     "Seul le format .pspimage conserve les calques. Un enregistrement en JPEG aplatit l'image : "
     "gardez toujours une version .pspimage de votre travail."},
    {"PAIN", "TRAITER PLUSIEURS FICHIERS D'UN COUP DANS PAINTSHOP PRO",
     "Fichier > Traitement par lot applique la même opération à toute une série d'images :\n"
     "1. Ajoutez les fichiers à traiter.\n"
     "2. Cochez au besoin l'utilisation d'un script enregistré, par exemple un "
     "redimensionnement suivi d'un renforcement de la netteté.\n"
     "3. Choisissez le format de sortie (JPEG, PNG, etc.) et le dossier de destination.\n"
     "4. Lancez le traitement.\n"
     "Un script se crée en enregistrant ses propres actions avec Fichier > Script > Démarrer "
     "l'enregistrement."},

    // PowerPoint
    {"POWE", "MASQUE DES DIAPOSITIVES : TOUT MODIFIER EN UNE FOIS",
     "Plutôt que de changer la police ou le logo sur chaque diapositive, modifiez le masque.\n"
     "1. Affichage > Masque des diapositives.\n"
     "2. La grande diapositive en haut de la liste gouverne toutes les autres ; les "
     "dispositions placées en dessous ne concernent que les diapositives qui les utilisent.\n"
     "3. Changez polices, couleurs, logo ou pied de page, puis cliquez sur « Fermer le mode "
     "Masque ».\n"
     "Si une diapositive ne suit pas le masque, sélectionnez-la et cliquez sur Accueil > "
     "Rétablir."},
    {"POWE", "RACCOURCIS UTILES PENDANT UN DIAPORAMA",
     "F5 : lancer le diaporama depuis le début ; Maj+F5 : depuis la diapositive en cours.\n"
     "Numéro puis Entrée : aller directement à cette diapositive.\n"
     "Point (.) : écran noir, pour ramener l'attention sur l'orateur ; un nouvel appui reprend "
     "le diaporama.\n"
     "Virgule (,) : écran blanc.\n"
     "Échap : quitter le diaporama.\n"
     "F1 pendant la projection affiche la liste complète des commandes clavier disponibles."},
    {"POWE", "MODE PRÉSENTATEUR AVEC UN VIDÉOPROJECTEUR",
     "Avec un second écran ou un vidéoprojecteur, le mode Présentateur affiche pour vous seul "
     "les notes, la diapositive suivante et un chronomètre, tandis que le public ne voit que "
     "la diapositive en cours.\n"
     "1. Win+P : choisissez « Étendre » pour que les deux écrans soient indépendants.\n"
     "2. Onglet Diaporama : cochez « Utiliser le mode Présentateur » et vérifiez l'écran "
     "choisi pour la projection.\n"
     "3. Lancez avec F5.\n"
     "Alt+F5 ouvre le mode Présentateur même avec un seul écran, ce qui permet de répéter."},
    {"POWE", "IMPRIMER UNE PRÉSENTATION EN DOCUMENT À DISTRIBUER",
     "Fichier > Imprimer, puis cliquez sur « Diapositives en pleine page » pour choisir une "
     "autre disposition :\n"
     "Documents, 3 diapositives : des lignes à côté de chaque diapositive pour les notes du "
     "public.\n"
     "Documents, 6 diapositives : un aperçu compact pour relire l'ensemble.\n"
     "Pages de commentaires : chaque diapositive avec les notes de l'orateur en dessous.\n"
     "L'option Nuances de gris économise l'encre des fonds colorés."},

    // Word
    {"WORD", "CRÉER UNE TABLE DES MATIÈRES AUTOMATIQUE",
     "Une table des matières se construit à partir des styles de titre, pas d'une mise en "
     "forme manuelle.\n"
     "1. Appliquez le style Titre 1 aux grands titres et Titre 2 aux sous-titres (onglet "
     "Accueil, galerie Styles).\n"
     "2. Placez le curseur à l'endroit voulu, puis Références > Table des matières et "
     "choisissez un modèle automatique.\n"
     "3. Après modification du document, cliquez dans la table, appuyez sur F9 et choisissez « "
     "Mettre à jour toute la table ».\n"
     "\n"
     "Les mêmes titres apparaissent dans le volet de navigation (Affichage > Volet de "
     "navigation), où l'on peut réorganiser les parties par glisser-déposer."},
    {"WORD", "AFFICHER LES CARACTÈRES NON IMPRIMABLES",
     "Le bouton ¶ (Afficher tout), dans le groupe Paragraphe de l'onglet Accueil, révèle les "
     "marques invisibles : ¶ à chaque fin de paragraphe, un point pour chaque espace, une "
     "flèche pour chaque tabulation.\n"
     "C'est le moyen le plus sûr de comprendre une mise en page capricieuse : paragraphes "
     "vides utilisés comme espacement, tabulations en série, sauts de page ou de section "
     "oubliés.\n"
     "Ces marques n'apparaissent jamais à l'impression."},
    {"WORD", "NUMÉROTER LES PAGES À PARTIR DE LA DEUXIÈME",
     "Pour que la page de garde ne porte pas de numéro et que la suivante soit numérotée 1 :\n"
     "1. Insertion > Numéro de page, puis choisissez la position.\n"
     "2. Dans l'onglet En-tête et pied de page, cochez « Première page différente ».\n"
     "3. Insertion > Numéro de page > Format des numéros de page : « À partir de » 0.\n"
     "La page de garde porte alors le numéro 0, qui n'est pas affiché, et la page suivante "
     "commence à 1."},
    {"WORD", "RECHERCHER ET REMPLACER LES MARQUES DE PARAGRAPHE",
     "Un texte collé depuis un e-mail ou un PDF contient souvent des retours à la ligne en "
     "trop. Ctrl+H ouvre Rechercher et remplacer, qui accepte des codes spéciaux :\n"
     "^p : marque de paragraphe ; ^l : saut de ligne manuel ; ^t : tabulation.\n"
     "Remplacer ^p^p par ^p supprime les lignes vides ; répétez jusqu'à ce qu'il n'y ait plus "
     "de remplacement.\n"
     "Le bouton Plus > Spécial liste tous les codes disponibles.\n"
     "\n"
     "Si la case « Utiliser les caractères génériques » est cochée, ^p n'est plus reconnu dans "
     "la zone Rechercher : utilisez alors ^13."},
    {"WORD", "RACCOURCIS CLAVIER DE MISE EN FORME DANS WORD",
     "Ctrl+G : gras ; Ctrl+I : italique ; Ctrl+U : souligné.\n"
     "Ctrl+E : centrer le paragraphe ; Ctrl+J : le justifier.\n"
     "Maj+F3 : passer le texte sélectionné en minuscules, en majuscules ou avec une capitale "
     "en début de mot.\n"
     "Ctrl+Espace : retirer la mise en forme manuelle des caractères sélectionnés.\n"
     "Ctrl+Q : retirer la mise en forme manuelle du paragraphe (retraits, espacements).\n"
     "Ctrl+Entrée : insérer un saut de page."},
};

std::span<const DemoCard> DemoCards() {
    return kCards;
}

void WriteDemoCollection(const QString& fileName) {
    WriteNewCollection(fileName, qint64(std::size(kCards)), [](qint64 i) {
        const DemoCard& demo = kCards[i];
        return Card{
            i + 1, QString::fromLatin1(demo.cate), QString::fromUtf8(demo.titre),
            QString::fromUtf8(demo.pivanes).replace(QLatin1Char('\n'), QStringLiteral("\r\n"))};
    });
}
