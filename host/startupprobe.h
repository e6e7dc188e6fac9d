#ifndef STARTUPPROBE_H
#define STARTUPPROBE_H

class QWidget;

// For the startup benchmark: when `window` is first exposed and painted, prints
// "startup-probe: <ms> ms" (time since this process started) and quits the application.
void probeStartup(QWidget &window);

#endif // STARTUPPROBE_H
