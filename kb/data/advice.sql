-- Loadwatch's advice about programs that are often seen busy on Linux
-- desktops and servers. Our own words. loadwatch-kb loads this into SQLite
-- when its database has no advice yet; edit a deployed database with the
-- sqlite3 shell, or change this file and rebuild.
--
-- advice.close starts with the short answer (Yes / Usually / Save first /
-- No / Depends) and says what is lost. advice_name lists the other file names a
-- program runs under.
BEGIN;
CREATE TABLE advice (
  program TEXT PRIMARY KEY,
  kind    TEXT NOT NULL,
  what    TEXT NOT NULL,
  close   TEXT NOT NULL,
  busy    TEXT NOT NULL
);
CREATE TABLE advice_name (
  name    TEXT PRIMARY KEY,
  program TEXT NOT NULL REFERENCES advice(program)
);

INSERT INTO advice VALUES ('bash', 'shell',
  'The GNU Bourne-Again shell: it reads commands from a terminal or a script and starts the programs they name.',
  'Save first: closing an interactive shell ends the programs still attached to its terminal, and a shell running a script stops that script halfway.',
  'A shell itself is rarely busy. Loops in a script, completion over a huge folder or a long history being written out can keep it busy; the programs it starts show under their own names.');

INSERT INTO advice VALUES ('zsh', 'shell',
  'The Z shell, an interactive shell and script interpreter with rich completion and prompt themes.',
  'Save first: closing it ends the programs attached to its terminal and stops any script it runs.',
  'Prompt themes that ask git about the current folder, completion systems that scan many files, and plugin managers at start-up.');

INSERT INTO advice VALUES ('fish', 'shell',
  'The friendly interactive shell, with suggestions from history and completions generated from manual pages.',
  'Save first: closing it ends the programs attached to its terminal.',
  'Generating completions from manual pages after software was installed, and prompt functions that run git in large repositories.');

INSERT INTO advice VALUES ('dash', 'shell',
  'The Debian Almquist shell, a small and fast POSIX shell that runs most system scripts (it is /bin/sh on Debian).',
  'Usually: it mostly runs scripts of the system or of installed packages; stopping one leaves that job half done.',
  'Maintainer scripts of packages during an upgrade, start-up scripts, and shell loops in cron jobs.');
INSERT INTO advice_name VALUES ('sh', 'dash');

INSERT INTO advice VALUES ('tmux', 'terminal multiplexer',
  'A terminal multiplexer: it keeps terminal sessions alive in the background and splits one terminal into panes.',
  'Save first: ending the tmux server ends every shell and program in all of its sessions.',
  'Programs in its panes that print a lot of output quickly, a large scroll-back history, and status lines refreshed often.');
INSERT INTO advice_name VALUES ('tmux: server', 'tmux');

INSERT INTO advice VALUES ('gnome-terminal-server', 'terminal',
  'The process behind every GNOME Terminal window; the windows are only views of it.',
  'Save first: ending it closes all GNOME Terminal windows and the shells inside them.',
  'Programs that write a lot of text very fast, such as build logs or a cat of a large file, and a very long scroll-back.');

INSERT INTO advice VALUES ('konsole', 'terminal',
  'KDE''s terminal emulator.',
  'Save first: closing it ends the shells in its tabs and what runs in them.',
  'Fast scrolling output from the programs in its tabs and a very long scroll-back buffer.');

INSERT INTO advice VALUES ('xterm', 'terminal',
  'The classic terminal emulator for the X Window System.',
  'Save first: closing it ends the shell inside it and the programs attached to that shell.',
  'Large amounts of output from the program inside it.');

INSERT INTO advice VALUES ('gnome-shell', 'desktop shell',
  'The GNOME desktop itself: it draws the top bar, the overview and, on Wayland, acts as the display server and window manager.',
  'No: on Wayland the whole session ends with it and unsaved work in every window is lost; on X11 it restarts, with a flicker.',
  'Animations on a slow graphics driver, shell extensions that poll or leak, many windows open at once, and screen recording.');

INSERT INTO advice VALUES ('kwin_wayland', 'compositor',
  'KDE Plasma''s window manager and compositor; under Wayland it is also the display server.',
  'No: under Wayland the session ends with it and unsaved work is lost; kwin_x11 can be replaced with little harm.',
  'Desktop effects such as blur and wobbly windows, high refresh rates, several monitors, and window thumbnails in the task switcher.');
INSERT INTO advice_name VALUES ('kwin_x11', 'kwin_wayland'), ('kwin', 'kwin_wayland');

INSERT INTO advice VALUES ('plasmashell', 'desktop shell',
  'KDE Plasma''s desktop and panels: wallpaper, task bar, widgets and notifications.',
  'Usually: the panels and desktop vanish until it is started again (plasmashell --replace); programs keep running.',
  'Widgets that refresh often (system monitors, weather), animated wallpapers, and a notification storm.');

INSERT INTO advice VALUES ('Xorg', 'display server',
  'The X11 display server: it drives the screens, keyboard and mouse for the programs of an X session.',
  'No: closing it ends the graphical session and every program in it, losing unsaved work.',
  'Programs that redraw constantly, software rendering without a graphics driver, screen sharing, and compositors without acceleration.');
INSERT INTO advice_name VALUES ('X', 'Xorg'), ('Xorg.bin', 'Xorg');

INSERT INTO advice VALUES ('Xwayland', 'display server',
  'An X11 server that runs inside a Wayland session so that older X11 programs still work.',
  'No: X11 programs in the session lose their windows with it.',
  'Games and X11 programs that redraw constantly, and screen scaling of X11 windows.');

INSERT INTO advice VALUES ('sway', 'compositor',
  'A tiling Wayland compositor compatible with the i3 window manager.',
  'No: the whole session ends with it.',
  'Status bars that refresh very often, many outputs, and clients that redraw constantly.');

INSERT INTO advice VALUES ('xfwm4', 'window manager',
  'The window manager of the Xfce desktop.',
  'Usually: windows lose their frames until it runs again (xfwm4 --replace); programs keep running.',
  'Its compositor with shadows and transparency on a slow graphics driver.');

INSERT INTO advice VALUES ('xfce4-panel', 'desktop shell',
  'The panel of the Xfce desktop with its plugins.',
  'Usually: the panel disappears and Xfce restarts it; programs keep running.',
  'Plugins that refresh often, such as system load graphs or network monitors.');

INSERT INTO advice VALUES ('picom', 'compositor',
  'A stand-alone compositor for X11 that adds shadows, fading and transparency.',
  'Yes: windows lose their effects and may tear; nothing is lost.',
  'Blur effects and vertical-sync on a slow graphics driver.');
INSERT INTO advice_name VALUES ('compton', 'picom');

INSERT INTO advice VALUES ('pipewire', 'audio and video server',
  'The media server that routes sound and screen-capture streams between programs and devices.',
  'Usually: sound stops for every program until it is started again (systemd restarts it); some programs need a restart to get sound back.',
  'Many streams at once, resampling between sample rates, small buffer sizes asked for by music software, and Bluetooth audio.');
INSERT INTO advice_name VALUES ('pipewire-pulse', 'pipewire');

INSERT INTO advice VALUES ('wireplumber', 'session manager',
  'PipeWire''s session manager: it decides which program''s sound goes to which device.',
  'Usually: new streams and devices are not connected until it is back; systemd restarts it.',
  'Devices that appear and vanish repeatedly, for example a flaky Bluetooth headset or USB dock.');

INSERT INTO advice VALUES ('pulseaudio', 'audio server',
  'The PulseAudio sound server that mixes the sound of all programs.',
  'Usually: sound stops until it is started again; many desktops restart it on their own.',
  'Resampling at a high quality setting, many streams, echo cancellation and Bluetooth audio.');

INSERT INTO advice VALUES ('nautilus', 'file manager',
  'GNOME Files, the file manager of the GNOME desktop.',
  'Usually: open windows close, and a copy or move in progress is interrupted.',
  'Making thumbnails of many pictures or videos, counting the size of large folders, and watching network shares.');

INSERT INTO advice VALUES ('dolphin', 'file manager',
  'KDE''s file manager.',
  'Usually: windows close, and a copy in progress is interrupted.',
  'Thumbnails of large folders, file previews, and folder size counting.');

INSERT INTO advice VALUES ('thunar', 'file manager',
  'The file manager of the Xfce desktop.',
  'Usually: windows close, and transfers in progress are interrupted.',
  'Thumbnails through tumblerd and large folders on slow or network drives.');
INSERT INTO advice_name VALUES ('Thunar', 'thunar');

INSERT INTO advice VALUES ('gnome-keyring-daemon', 'password store',
  'Keeps passwords, keys and secrets of the desktop session and unlocks them at login.',
  'No: programs lose access to stored passwords until you log in again.',
  'Programs that ask for secrets in a tight loop, and a large keyring being re-encrypted.');

INSERT INTO advice VALUES ('ibus-daemon', 'input method',
  'The input method framework that lets you type in other scripts and use special keyboard layouts.',
  'Usually: typing falls back to the plain keyboard layout until it is started again.',
  'Prediction engines and emoji lookups of its engines.');

INSERT INTO advice VALUES ('gsd-housekeeping', 'desktop service',
  'One of the GNOME settings daemons; this one warns of low disk space and cleans old thumbnails and trash.',
  'Yes: the desktop restarts it at the next login; settings it manages stop being applied until then.',
  'Scanning disks for free space and clearing the thumbnail cache.');
INSERT INTO advice_name VALUES ('gsd-color', 'gsd-housekeeping'), ('gsd-media-keys', 'gsd-housekeeping'), ('gsd-power', 'gsd-housekeeping'), ('gsd-xsettings', 'gsd-housekeeping'), ('gsd-print-notifications', 'gsd-housekeeping');

INSERT INTO advice VALUES ('tumblerd', 'thumbnailer',
  'Makes thumbnails of pictures, videos and documents for file managers.',
  'Yes: thumbnails are made later when it is started again.',
  'Folders with many pictures or videos, and broken files that make a thumbnailer start over.');

INSERT INTO advice VALUES ('firefox', 'web browser',
  'The Firefox web browser. It runs several processes: the main one, and content processes (shown as ''Web Content'', ''Isolated Web Co'' and similar) for the pages.',
  'Save first: forms and unsent posts in open tabs are lost; the tabs themselves come back after a restart.',
  'Pages with heavy scripts or video, many open tabs, ad-heavy sites, extensions, and writing its session file and cache.');
INSERT INTO advice_name VALUES ('firefox-esr', 'firefox'), ('firefox-bin', 'firefox'), ('Web Content', 'firefox'), ('Isolated Web Co', 'firefox'), ('WebExtensions', 'firefox'), ('Privileged Cont', 'firefox'), ('RDD Process', 'firefox'), ('Socket Process', 'firefox'), ('Utility Process', 'firefox');

INSERT INTO advice VALUES ('chromium', 'web browser',
  'The Chromium web browser (and Google Chrome, built on it); every tab and extension gets a renderer process of its own.',
  'Save first: what you typed into pages is lost; tabs return after a restart. Ending a single renderer only breaks that tab.',
  'Pages with heavy scripts, video playback, many tabs, extensions, and its GPU process on a slow driver.');
INSERT INTO advice_name VALUES ('chromium-browser', 'chromium'), ('chrome', 'chromium'), ('google-chrome', 'chromium'), ('chrome_crashpad_handler', 'chromium');

INSERT INTO advice VALUES ('WebKitWebProcess', 'web page renderer',
  'A renderer of WebKitGTK: it shows a web page for programs such as the GNOME Web browser, Evolution or help viewers.',
  'Usually: the page it shows goes blank and the program reloads it.',
  'Pages with heavy scripts or animations.');
INSERT INTO advice_name VALUES ('WebKitNetworkProcess', 'WebKitWebProcess'), ('epiphany', 'WebKitWebProcess');

INSERT INTO advice VALUES ('thunderbird', 'mail client',
  'The Thunderbird mail, calendar and news client.',
  'Save first: a message being written is lost unless it was saved as a draft.',
  'Indexing mail for search (the global index), compacting folders, fetching large mailboxes, and filters run over many messages.');

INSERT INTO advice VALUES ('evolution', 'mail client',
  'GNOME''s mail, calendar and contacts program; helpers named evolution-* keep its data in the background.',
  'Save first: messages being written are lost.',
  'Refreshing large mail folders, downloading messages for offline use, and calendar reminders over many events.');
INSERT INTO advice_name VALUES ('evolution-data-server', 'evolution'), ('evolution-calendar-factory', 'evolution'), ('evolution-addressbook-factory', 'evolution'), ('evolution-source-registry', 'evolution');

INSERT INTO advice VALUES ('code', 'code editor',
  'Visual Studio Code (or its open builds), an editor written on Electron; extensions run in helper processes of the same name.',
  'Save first: unsaved editors are usually restored, but running tasks and terminals inside it end.',
  'Language servers and extensions analysing a large project, file watching on big folders, and searching the whole workspace.');
INSERT INTO advice_name VALUES ('codium', 'code'), ('code-oss', 'code');

INSERT INTO advice VALUES ('vim', 'text editor',
  'The Vim text editor.',
  'Save first: unsaved changes are kept only in its swap file.',
  'Syntax highlighting of huge files and plugins that run linters on every change.');
INSERT INTO advice_name VALUES ('vim.basic', 'vim'), ('vim.tiny', 'vim'), ('nvim', 'vim'), ('vi', 'vim');

INSERT INTO advice VALUES ('emacs', 'text editor',
  'The GNU Emacs editor and Lisp environment.',
  'Save first: unsaved buffers are lost, apart from auto-save files.',
  'Packages doing work on every keystroke, language servers, garbage collection with a large heap, and very long lines.');
INSERT INTO advice_name VALUES ('emacs-gtk', 'emacs'), ('emacs-nox', 'emacs');

INSERT INTO advice VALUES ('libreoffice', 'office suite',
  'The LibreOffice suite; every document window runs in the soffice.bin process.',
  'Save first: unsaved documents are lost (it may offer to recover them).',
  'Recalculating large spreadsheets, laying out long documents, auto-recovery saves, and spell checking.');
INSERT INTO advice_name VALUES ('soffice.bin', 'libreoffice'), ('soffice', 'libreoffice'), ('oosplash', 'libreoffice');

INSERT INTO advice VALUES ('gimp', 'image editor',
  'The GNU Image Manipulation Program.',
  'Save first: unsaved images are lost.',
  'Filters on large images, many undo steps, and loading many fonts at start.');
INSERT INTO advice_name VALUES ('gimp-2.10', 'gimp');

INSERT INTO advice VALUES ('vlc', 'media player',
  'The VLC media player.',
  'Yes: playback stops; nothing is lost.',
  'Decoding high-resolution video without hardware decoding, and converting media.');

INSERT INTO advice VALUES ('ffmpeg', 'media converter',
  'A command-line tool that converts and records audio and video.',
  'Usually: the file it is writing stays incomplete.',
  'Encoding video, which by design uses every processor core it can.');

INSERT INTO advice VALUES ('steam', 'game client',
  'Valve''s game store and launcher; games it starts run as their own processes.',
  'Usually: downloads pause and are resumed later; running games may lose their connection.',
  'Downloading and unpacking game updates, compiling shader caches, and its built-in web pages.');
INSERT INTO advice_name VALUES ('steamwebhelper', 'steam');

INSERT INTO advice VALUES ('tracker-miner-fs-3', 'file indexer',
  'GNOME''s file indexer (Tracker, later LocalSearch): it records names and contents of your files so that searches are instant.',
  'Yes: searching in Files and the overview becomes incomplete until it runs again; nothing is lost.',
  'The first indexing after login or after many files were added, large mail or music folders, and files whose contents it extracts.');
INSERT INTO advice_name VALUES ('tracker-miner-fs', 'tracker-miner-fs-3'), ('tracker-extract-3', 'tracker-miner-fs-3'), ('tracker-extract', 'tracker-miner-fs-3'), ('localsearch-3', 'tracker-miner-fs-3'), ('localsearch-extractor-3', 'tracker-miner-fs-3'), ('tracker-store', 'tracker-miner-fs-3');

INSERT INTO advice VALUES ('baloo_file', 'file indexer',
  'KDE''s file indexer, Baloo: it records file names and contents for search.',
  'Yes: search results become incomplete; balooctl can pause or disable it for good.',
  'Indexing after many files changed, large source trees, and extracting text from big documents.');
INSERT INTO advice_name VALUES ('baloo_file_extractor', 'baloo_file'), ('baloorunner', 'baloo_file');

INSERT INTO advice VALUES ('updatedb', 'file name index',
  'Builds the database of all file names that the locate command searches; run once a day by a timer.',
  'Yes: locate simply finds files from the last complete run.',
  'Walking every folder of every mounted disk; it is slow on large or network file systems.');
INSERT INTO advice_name VALUES ('updatedb.plocate', 'updatedb'), ('updatedb.mlocate', 'updatedb'), ('updatedb.findutils', 'updatedb');

INSERT INTO advice VALUES ('mandb', 'manual page index',
  'Updates the index of manual pages that man -k and apropos search.',
  'Yes: only the search of manual pages becomes out of date.',
  'It runs after packages were installed or by its daily timer, reading every manual page.');

INSERT INTO advice VALUES ('apt', 'package manager',
  'Debian''s package manager front end, which downloads, installs and removes software.',
  'No, not while it installs: an interrupted installation leaves packages half configured (dpkg --configure -a repairs it). During downloads only, it is harmless.',
  'Downloading package lists and packages, unpacking many packages, and the scripts packages run while they are configured.');
INSERT INTO advice_name VALUES ('apt-get', 'apt'), ('aptitude', 'apt'), ('http', 'apt'), ('https', 'apt'), ('store', 'apt'), ('gpgv', 'apt');

INSERT INTO advice VALUES ('dpkg', 'package manager',
  'The low-level Debian package tool that unpacks and configures packages.',
  'No: stopping it midway leaves the system half upgraded; let it finish.',
  'Unpacking large packages, syncing files to disk, and triggers such as rebuilding the manual-page or icon caches.');
INSERT INTO advice_name VALUES ('dpkg-deb', 'dpkg'), ('dpkg-trigger', 'dpkg');

INSERT INTO advice VALUES ('unattended-upgr', 'updater',
  'Debian''s unattended-upgrades: it installs security updates on its own, usually in the morning or at shutdown.',
  'No while it installs; the timer starts it again later anyway. Closing it during a download does no harm.',
  'Downloading and installing updates, which runs apt and dpkg with it.');
INSERT INTO advice_name VALUES ('unattended-upgrade', 'unattended-upgr'), ('unattended-upgrades', 'unattended-upgr');

INSERT INTO advice VALUES ('packagekitd', 'update service',
  'PackageKit, the service through which desktop software centres look for and install updates.',
  'Usually: a search or refresh in a software centre is cancelled; an installation in progress should be left to finish.',
  'Refreshing package lists and reading the package database after updates.');

INSERT INTO advice VALUES ('gnome-software', 'software centre',
  'GNOME''s software centre; it keeps running in the background to look for updates.',
  'Yes: it starts again at the next login; downloads in progress start over.',
  'Refreshing update lists, downloading application data and icons, and Flatpak updates.');

INSERT INTO advice VALUES ('plasma-discover', 'software centre',
  'KDE''s software centre, Discover.',
  'Yes, unless it is installing something.',
  'Refreshing package, Flatpak and firmware lists.');
INSERT INTO advice_name VALUES ('DiscoverNotifier', 'plasma-discover');

INSERT INTO advice VALUES ('snapd', 'package service',
  'The service that installs, updates and runs snap packages.',
  'No: snap programs cannot start or update without it; systemd restarts it.',
  'Refreshing snaps (several times a day), mounting many snap images at boot, and checking their signatures.');

INSERT INTO advice VALUES ('flatpak', 'package manager',
  'The Flatpak tool that installs and updates sandboxed applications.',
  'Usually: an update in progress is rolled back safely.',
  'Downloading and deduplicating application and runtime updates.');
INSERT INTO advice_name VALUES ('flatpak-system-helper', 'flatpak'), ('flatpak-session-helper', 'flatpak');

INSERT INTO advice VALUES ('fwupd', 'firmware updater',
  'Looks for and installs firmware updates for the computer and its devices.',
  'Usually, but never during a firmware update: an interrupted flash can break a device.',
  'Refreshing firmware metadata and probing devices at start.');
INSERT INTO advice_name VALUES ('fwupdmgr', 'fwupd');

INSERT INTO advice VALUES ('appstreamcli', 'software catalogue',
  'Refreshes the AppStream catalogue that software centres show.',
  'Yes: the catalogue is refreshed again later.',
  'Rebuilding the catalogue cache after package lists changed.');

INSERT INTO advice VALUES ('dnf', 'package manager',
  'The package manager of Fedora and related systems.',
  'No while it installs: the system could be left half upgraded.',
  'Downloading metadata and packages, and running package scripts.');
INSERT INTO advice_name VALUES ('dnf5', 'dnf'), ('yum', 'dnf');

INSERT INTO advice VALUES ('pacman', 'package manager',
  'The package manager of Arch Linux and related systems.',
  'No while it installs.',
  'Downloading and unpacking packages and running their hooks.');

INSERT INTO advice VALUES ('cc1plus', 'compiler',
  'The C++ compiler proper of GCC; the g++ command starts one for every source file.',
  'Usually: the build it belongs to fails and must be run again; nothing else is harmed.',
  'Large source files and heavy templates; a parallel build runs one per processor core.');
INSERT INTO advice_name VALUES ('cc1', 'cc1plus'), ('cc1obj', 'cc1plus'), ('lto1', 'cc1plus');

INSERT INTO advice VALUES ('gcc', 'compiler driver',
  'The GNU Compiler Collection''s driver; it starts the compiler, assembler and linker in turn.',
  'Usually: the build fails and can be repeated.',
  'It is mostly waiting for cc1, cc1plus, as and ld, which do the work.');
INSERT INTO advice_name VALUES ('g++', 'gcc'), ('cc', 'gcc'), ('c++', 'gcc'), ('x86_64-linux-gnu-gcc', 'gcc'), ('x86_64-linux-gnu-g++', 'gcc'), ('collect2', 'gcc'), ('as', 'gcc');

INSERT INTO advice VALUES ('clang', 'compiler',
  'The Clang C, C++ and Objective-C compiler of the LLVM project.',
  'Usually: the build fails and can be repeated.',
  'Large translation units, optimisation, and parallel builds running one per core.');
INSERT INTO advice_name VALUES ('clang++', 'clang'), ('clang-14', 'clang'), ('clang-15', 'clang'), ('clang-16', 'clang');

INSERT INTO advice VALUES ('clangd', 'language server',
  'Clang''s language server: editors use it for completion, errors and navigation in C and C++ code.',
  'Yes: the editor starts it again; its index is rebuilt.',
  'Indexing a whole project in the background after opening it or after a branch switch.');

INSERT INTO advice VALUES ('ld', 'linker',
  'The linker that joins compiled objects into programs and libraries.',
  'Usually: the build fails and can be repeated.',
  'Linking large programs, especially with debug information or link-time optimisation; it can use much memory.');
INSERT INTO advice_name VALUES ('ld.bfd', 'ld'), ('ld.gold', 'ld'), ('ld.lld', 'ld'), ('lld', 'ld'), ('mold', 'ld');

INSERT INTO advice VALUES ('make', 'build tool',
  'GNU Make runs the steps of a build in the right order.',
  'Usually: the build stops and continues from where it was at the next run.',
  'Itself little; it starts compilers. Reading huge generated makefiles can take a moment.');
INSERT INTO advice_name VALUES ('gmake', 'make');

INSERT INTO advice VALUES ('ninja', 'build tool',
  'A small, fast build tool used under CMake, Meson and others.',
  'Usually: the build stops; the next run continues.',
  'Itself little; it runs as many compiler jobs as there are processor cores.');
INSERT INTO advice_name VALUES ('ninja-build', 'ninja');

INSERT INTO advice VALUES ('cmake', 'build configurator',
  'CMake generates build files and can drive builds and tests.',
  'Usually: the configure step or build is simply run again.',
  'Configuring large projects, and running tests through ctest.');
INSERT INTO advice_name VALUES ('ctest', 'cmake'), ('cpack', 'cmake');

INSERT INTO advice VALUES ('cargo', 'build tool',
  'Rust''s package manager and build tool.',
  'Usually: the build stops and continues next time.',
  'Compiling dependencies (rustc), downloading crates, and running build scripts.');

INSERT INTO advice VALUES ('rustc', 'compiler',
  'The Rust compiler.',
  'Usually: the build fails and can be repeated.',
  'Large crates with many generics, optimised builds, and link-time optimisation.');

INSERT INTO advice VALUES ('go', 'toolchain',
  'The Go toolchain: builds, tests and runs Go programs; its compiler and linker run as compile and link.',
  'Usually: the build or test run stops.',
  'Compiling packages in parallel and running tests.');
INSERT INTO advice_name VALUES ('compile', 'go'), ('link', 'go'), ('gopls', 'go');

INSERT INTO advice VALUES ('java', 'language runtime',
  'The Java virtual machine, which runs programs written in Java and other JVM languages (build tools such as Gradle or Maven, IDEs, servers).',
  'Depends on the program it runs: look at its command line. Closing an IDE or a server loses what it has not saved.',
  'The program it runs, its just-in-time compiler at start, and garbage collection when memory is tight.');
INSERT INTO advice_name VALUES ('javac', 'java');

INSERT INTO advice VALUES ('python3', 'language runtime',
  'The Python interpreter; it runs scripts and programs written in Python, including many system tools.',
  'Depends on the script it runs: look at its command line. System tools written in Python may be in the middle of work.',
  'Whatever the script does; pure Python loops use one processor core fully.');
INSERT INTO advice_name VALUES ('python', 'python3'), ('python3.11', 'python3'), ('python3.12', 'python3');

INSERT INTO advice VALUES ('node', 'language runtime',
  'Node.js runs JavaScript outside the browser: development servers, build tools, language servers.',
  'Depends on the program it runs: a development server or watcher can simply be started again.',
  'Bundlers and type checkers on large projects, file watchers, and package installs.');
INSERT INTO advice_name VALUES ('nodejs', 'node');

INSERT INTO advice VALUES ('perl', 'language runtime',
  'The Perl interpreter, which runs many system and package scripts.',
  'Depends on the script: during a package installation, let it finish.',
  'Package configuration scripts (debconf), text processing of large files, and monitoring scripts.');

INSERT INTO advice VALUES ('ruby', 'language runtime',
  'The Ruby interpreter.',
  'Depends on the program it runs.',
  'Web applications, build scripts, and gem installations compiling native extensions.');

INSERT INTO advice VALUES ('php-fpm', 'language runtime',
  'PHP''s FastCGI process manager: a pool of workers that run PHP pages for a web server.',
  'No on a server: the web site''s pages fail until it is back. A single worker may be ended; the pool starts a new one.',
  'Traffic to the web site, slow database queries, and scheduled jobs of web applications.');
INSERT INTO advice_name VALUES ('php', 'php-fpm'), ('php-fpm8.2', 'php-fpm'), ('php8.2', 'php-fpm');

INSERT INTO advice VALUES ('dotnet', 'language runtime',
  'The .NET runtime and SDK command.',
  'Depends on the program it runs; build servers it leaves running can be closed.',
  'Building projects, the compiler server (VBCSCompiler), and the programs it runs.');

INSERT INTO advice VALUES ('beam.smp', 'language runtime',
  'The Erlang virtual machine, which runs programs such as RabbitMQ, CouchDB or Elixir applications.',
  'No if it runs a service others rely on; otherwise depends on the program.',
  'The service it runs; its schedulers also spin briefly while waiting for work, which looks like load.');

INSERT INTO advice VALUES ('wineserver', 'compatibility layer',
  'The central process of Wine, which runs Windows programs on Linux.',
  'Save first: every Windows program in that Wine prefix ends with it.',
  'Windows programs that poll, and starting programs for the first time in a new prefix.');
INSERT INTO advice_name VALUES ('wine', 'wineserver'), ('wine64', 'wineserver'), ('wine-preloader', 'wineserver'), ('wine64-preloader', 'wineserver');

INSERT INTO advice VALUES ('git', 'version control',
  'The Git version control tool.',
  'Usually: an interrupted fetch or commit is harmless; a lock file may need removing.',
  'Cloning and fetching large repositories, garbage collection (git gc) repacking objects, and status in huge trees.');
INSERT INTO advice_name VALUES ('git-remote-https', 'git'), ('git-remote-http', 'git');

INSERT INTO advice VALUES ('rsync', 'file copier',
  'Copies and synchronises files locally or over the network, often in backups.',
  'Usually: the copy stops and the next run continues from there.',
  'Comparing checksums of large files and copying many small files.');

INSERT INTO advice VALUES ('xz', 'compressor',
  'A compressor with a high compression ratio; also used for packages and kernel images.',
  'Usually: the file being compressed is left incomplete.',
  'Compressing large files at high levels, which is slow by design.');
INSERT INTO advice_name VALUES ('gzip', 'xz'), ('zstd', 'xz'), ('bzip2', 'xz'), ('pigz', 'xz'), ('tar', 'xz');

INSERT INTO advice VALUES ('systemd', 'service manager',
  'The first process of the system: it starts and watches every service and the user sessions.',
  'No: it cannot be closed; process 1 ending means the system stops.',
  'Many services starting or failing in a loop, reloading units, and large numbers of mounts or devices.');
INSERT INTO advice_name VALUES ('init', 'systemd');

INSERT INTO advice VALUES ('systemd-journald', 'log service',
  'Collects the log messages of the kernel and every service into the journal.',
  'No: systemd restarts it, and messages sent in the meantime can be lost.',
  'A program that logs in a loop; find it with journalctl -f. Rotating and compressing large journal files.');

INSERT INTO advice VALUES ('systemd-udevd', 'device manager',
  'Handles devices as they appear: loads drivers, sets permissions and names network interfaces.',
  'No: new devices would not be set up.',
  'A device that connects and disconnects over and over, and many devices at boot.');

INSERT INTO advice VALUES ('systemd-logind', 'login manager',
  'Tracks user logins and seats, and handles the power button, lid and suspend.',
  'No: sessions can stop working; desktop sessions may end.',
  'Rarely busy; many logins at once or a faulty input device sending events.');

INSERT INTO advice VALUES ('systemd-resolved', 'name resolver',
  'Resolves host names for programs, with a cache and DNS over the configured servers.',
  'Usually: name lookups fail until systemd restarts it.',
  'Programs that look up names in a loop, and unreachable DNS servers.');

INSERT INTO advice VALUES ('systemd-oomd', 'memory watcher',
  'Watches memory pressure and ends the worst offending group of processes before the system freezes.',
  'Usually, but then nothing stops a runaway program before the system slows to a crawl.',
  'Reading pressure figures often while memory is tight.');

INSERT INTO advice VALUES ('dbus-daemon', 'message bus',
  'The D-Bus message bus through which desktop programs and system services talk to each other.',
  'No: the system bus is needed by most services, the session bus by every desktop program.',
  'A program that floods the bus with messages or signals, such as a misbehaving extension or a monitoring tool.');
INSERT INTO advice_name VALUES ('dbus-broker', 'dbus-daemon'), ('dbus-broker-launch', 'dbus-daemon');

INSERT INTO advice VALUES ('NetworkManager', 'network service',
  'Manages network connections: Wi-Fi, Ethernet, VPN and mobile broadband.',
  'No: connections it manages can drop; systemd restarts it.',
  'Scanning for Wi-Fi networks, a connection that drops and comes back, and many VPN routes.');

INSERT INTO advice VALUES ('wpa_supplicant', 'Wi-Fi service',
  'Negotiates Wi-Fi connections and their encryption.',
  'No while you are on Wi-Fi: the connection drops.',
  'Roaming between access points and scans for networks.');

INSERT INTO advice VALUES ('ModemManager', 'modem service',
  'Manages mobile broadband modems.',
  'Yes without a modem; with one, the mobile connection ends.',
  'Probing serial devices that are not modems at start.');

INSERT INTO advice VALUES ('bluetoothd', 'Bluetooth service',
  'The Bluetooth service of BlueZ.',
  'Usually: Bluetooth devices disconnect.',
  'Device discovery and audio devices.');

INSERT INTO advice VALUES ('sshd', 'remote login',
  'The OpenSSH server that accepts remote logins.',
  'No on a machine you reach remotely: new logins fail. Sessions already open run on in their own sshd processes.',
  'Login attempts from the internet (brute force), and file transfers with compression or encryption over fast links.');

INSERT INTO advice VALUES ('cron', 'scheduler',
  'Runs scheduled jobs from crontab files.',
  'Usually: scheduled jobs do not run until it is back.',
  'Itself almost never; the jobs it starts show under their own names.');
INSERT INTO advice_name VALUES ('crond', 'cron'), ('anacron', 'cron');

INSERT INTO advice VALUES ('rsyslogd', 'log service',
  'Writes log messages to files and forwards them to other machines.',
  'Usually: messages go only to the journal until it is back.',
  'A program that logs in a loop, and forwarding logs over a slow network.');

INSERT INTO advice VALUES ('udisksd', 'disk service',
  'Mounts and inspects disks for the desktop.',
  'Usually: removable disks are not mounted until it is back.',
  'Polling drives, disks with many partitions, and reading S.M.A.R.T. data.');

INSERT INTO advice VALUES ('polkitd', 'authorisation service',
  'Decides whether an unprivileged program may do a privileged action, asking for a password if needed.',
  'No: privileged actions of desktop programs fail.',
  'Programs that ask for permission in a loop.');
INSERT INTO advice_name VALUES ('polkitd-pkla', 'polkitd');

INSERT INTO advice VALUES ('accounts-daemon', 'account service',
  'Tells the desktop about user accounts for the login screen and settings.',
  'Usually: account settings and the login screen may miss information.',
  'Systems with very many user accounts.');

INSERT INTO advice VALUES ('cupsd', 'print service',
  'The CUPS print server that queues and converts print jobs.',
  'Usually: printing waits until it is back.',
  'Converting large print jobs and looking for printers on the network.');
INSERT INTO advice_name VALUES ('cups-browsed', 'cupsd');

INSERT INTO advice VALUES ('avahi-daemon', 'network discovery',
  'Announces and finds services on the local network (mDNS, printers, shared folders).',
  'Yes: local names such as host.local and network printers are not found until it is back.',
  'Busy local networks with many devices announcing themselves.');

INSERT INTO advice VALUES ('colord', 'colour service',
  'Manages colour profiles of screens and printers.',
  'Yes: colour calibration is not applied until it is back.',
  'Rarely busy; reading many profiles at start.');

INSERT INTO advice VALUES ('irqbalance', 'interrupt balancer',
  'Spreads hardware interrupts over the processor cores.',
  'Yes: interrupts stay where they are; only very busy servers notice.',
  'Rarely busy; systems with many devices or cores.');

INSERT INTO advice VALUES ('thermald', 'thermal service',
  'Keeps Intel processors from overheating by limiting their speed before they get too hot.',
  'Usually: the firmware then does the throttling alone.',
  'Rarely busy; polling sensors often when hot.');

INSERT INTO advice VALUES ('chronyd', 'time service',
  'Keeps the system clock exact by asking time servers.',
  'Yes: the clock drifts slowly until it is back.',
  'Rarely busy.');
INSERT INTO advice_name VALUES ('ntpd', 'chronyd'), ('systemd-timesyncd', 'chronyd');

INSERT INTO advice VALUES ('dockerd', 'container service',
  'The Docker engine, which builds images and runs containers.',
  'No while containers run: they may stop with it.',
  'Building images, pulling and unpacking image layers, and logging of chatty containers.');
INSERT INTO advice_name VALUES ('docker', 'dockerd'), ('docker-proxy', 'dockerd');

INSERT INTO advice VALUES ('containerd', 'container runtime',
  'The container runtime below Docker and Kubernetes.',
  'No while containers run.',
  'Unpacking image layers and many containers starting at once.');
INSERT INTO advice_name VALUES ('containerd-shim', 'containerd'), ('containerd-shim-runc-v2', 'containerd');

INSERT INTO advice VALUES ('qemu-system-x86_64', 'virtual machine',
  'A QEMU virtual machine; everything the guest system does shows as this process.',
  'Save first: closing it is like pulling the plug of the guest; shut the guest down from inside.',
  'Whatever runs inside the guest, and emulation without hardware acceleration (KVM).');
INSERT INTO advice_name VALUES ('qemu-system-aarch64', 'qemu-system-x86_64'), ('qemu-kvm', 'qemu-system-x86_64');

INSERT INTO advice VALUES ('postgres', 'database server',
  'The PostgreSQL database server; each connection gets a process of its own.',
  'No on a server: programs using the database fail. Ending one backend only cancels that connection.',
  'Heavy queries, autovacuum cleaning tables, checkpoints writing to disk, and index builds.');
INSERT INTO advice_name VALUES ('postmaster', 'postgres'), ('postgresql', 'postgres');

INSERT INTO advice VALUES ('mariadbd', 'database server',
  'The MariaDB (MySQL) database server.',
  'No on a server: programs using the database fail.',
  'Slow queries without an index, backups, and flushing changed pages to disk.');
INSERT INTO advice_name VALUES ('mysqld', 'mariadbd'), ('mariadb', 'mariadbd'), ('mysql', 'mariadbd');

INSERT INTO advice VALUES ('redis-server', 'data store',
  'Redis, an in-memory data store used as cache and message broker.',
  'No if programs depend on it: cached data not yet saved is lost.',
  'Saving snapshots to disk (a forked child) and heavy traffic.');

INSERT INTO advice VALUES ('nginx', 'web server',
  'The nginx web server and reverse proxy.',
  'No on a server: the web sites it serves go down.',
  'Traffic, TLS handshakes, and compression of responses.');

INSERT INTO advice VALUES ('apache2', 'web server',
  'The Apache HTTP server.',
  'No on a server: the web sites go down.',
  'Traffic, modules such as mod_php running pages, and many slow clients.');
INSERT INTO advice_name VALUES ('httpd', 'apache2');

INSERT INTO advice VALUES ('smbd', 'file server',
  'Samba''s file server, which shares folders with Windows and other machines.',
  'No while others use its shares: open files on clients can be damaged.',
  'Large file transfers and clients browsing big folders.');
INSERT INTO advice_name VALUES ('nmbd', 'smbd'), ('samba', 'smbd');

INSERT INTO advice VALUES ('clamd', 'virus scanner',
  'The ClamAV virus scanner service; freshclam updates its signatures.',
  'Usually: scans stop until it is back.',
  'Loading signatures at start (a lot of memory and processor for a minute) and scanning large archives.');
INSERT INTO advice_name VALUES ('freshclam', 'clamd'), ('clamscan', 'clamd');

INSERT INTO advice VALUES ('snap', 'package tool',
  'The snap command, run by you or by snapd to manage snap packages.',
  'Usually, unless it is installing something.',
  'Installing or refreshing snaps.');

INSERT INTO advice VALUES ('Loadwatch', 'system monitor',
  'Loadwatch itself, or its console view, which shows which programs keep the computer busy.',
  'Yes: it keeps no data.',
  'Sampling processes once a second; on a machine with thousands of processes that takes a little processor time.');
INSERT INTO advice_name VALUES ('loadwatch', 'Loadwatch'), ('loadwatch-cli', 'Loadwatch'), ('loadwatch-kb', 'Loadwatch'), ('loadwatch-helper', 'Loadwatch');

INSERT INTO advice VALUES ('top', 'system monitor',
  'A classic text-mode process viewer.',
  'Yes: it only shows things.',
  'Refreshing often on machines with many processes.');
INSERT INTO advice_name VALUES ('htop', 'top'), ('btop', 'top'), ('atop', 'top');

COMMIT;
