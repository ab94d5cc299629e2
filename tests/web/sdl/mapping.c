/* The browser back end's arithmetic: KeyboardEvent.code to SDL keys, a
   pointer on a scaled canvas to screen pixels, and gamepads to joysticks.  Built against build-web/libs
   and run in node by run.sh. */
#include <SDL.h>
#include <stdio.h>

SDLKey SDL_EMSCRIPTEN_KeyFromCode(const char *code);
void SDL_EMSCRIPTEN_MapPointer(const double *pointer, int w, int h, int *x, int *y);
void SDL_EMSCRIPTEN_PadLayout(int standard, const double *axes, int naxes,
                              const double *buttons, int nbuttons,
                              Sint16 *out_axes, int out_naxes,
                              Uint8 *out_buttons, int out_nbuttons);

static int failures;

static void expect(int ok, const char *what, const char *detail)
{
	if (!ok) {
		printf("FAIL %s: %s\n", what, detail);
		failures++;
	}
}

static void keys(void)
{
	static const struct { const char *code; SDLKey sym; } cases[] = {
		{ "KeyA", SDLK_a }, { "KeyZ", SDLK_z }, { "Digit0", SDLK_0 }, { "Digit9", SDLK_9 },
		{ "Numpad0", SDLK_KP0 }, { "Numpad9", SDLK_KP9 }, { "NumpadEnter", SDLK_KP_ENTER },
		{ "NumpadDecimal", SDLK_KP_PERIOD }, { "NumpadSubtract", SDLK_KP_MINUS },
		{ "F1", SDLK_F1 }, { "F9", SDLK_F9 }, { "F10", SDLK_F10 }, { "F12", SDLK_F12 },
		{ "F15", SDLK_F15 }, { "Tab", SDLK_TAB }, { "Space", SDLK_SPACE },
		{ "Enter", SDLK_RETURN }, { "Escape", SDLK_ESCAPE }, { "Backspace", SDLK_BACKSPACE },
		{ "ArrowUp", SDLK_UP }, { "ArrowDown", SDLK_DOWN }, { "ArrowLeft", SDLK_LEFT },
		{ "ArrowRight", SDLK_RIGHT }, { "ShiftLeft", SDLK_LSHIFT }, { "ShiftRight", SDLK_RSHIFT },
		{ "ControlRight", SDLK_RCTRL }, { "AltLeft", SDLK_LALT }, { "MetaLeft", SDLK_LSUPER },
		{ "OSRight", SDLK_RSUPER }, { "CapsLock", SDLK_CAPSLOCK }, { "IntlBackslash", SDLK_LESS },
		{ "Quote", SDLK_QUOTE }, { "Undo", SDLK_UNDO },
		/* names that only look like keys */
		{ "", SDLK_UNKNOWN }, { "Key", SDLK_UNKNOWN }, { "Keya", SDLK_UNKNOWN },
		{ "KeyAA", SDLK_UNKNOWN }, { "Digit", SDLK_UNKNOWN }, { "DigitX", SDLK_UNKNOWN },
		{ "Numpad", SDLK_UNKNOWN }, { "F0", SDLK_UNKNOWN }, { "F16", SDLK_UNKNOWN },
		{ "F1x", SDLK_UNKNOWN }, { "f1", SDLK_UNKNOWN }, { "arrowup", SDLK_UNKNOWN },
		{ "Lang1", SDLK_UNKNOWN },
	};
	unsigned i;
	char detail[80];

	for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
		SDLKey got = SDL_EMSCRIPTEN_KeyFromCode(cases[i].code);
		snprintf(detail, sizeof detail, "\"%s\" gave %d, not %d",
		         cases[i].code, got, cases[i].sym);
		expect(got == cases[i].sym, "key", detail);
	}
}

static void pointer(void)
{
	/* clientX, clientY, and the canvas' box: left, top, width, height */
	static const struct { double p[6]; int x, y; } cases[] = {
		{ { 0, 0, 0, 0, 640, 480 }, 0, 0 },
		{ { 639.9, 479.9, 0, 0, 640, 480 }, 639, 479 },
		{ { 201, 101, 0, 0, 1280, 960 }, 100, 50 },            /* twice the size */
		{ { 100 + 1279.5, 20 + 959.5, 100, 20, 1280, 960 }, 639, 479 }, /* offset */
		{ { 160, 120, 0, 0, 320, 240 }, 320, 240 },             /* half: a phone */
		{ { 10 + 3 * 213 + 1, 5 + 3 * 100 + 1, 10, 5, 1920, 1440 }, 213, 100 },
		{ { 50.5, 50.5, 50, 50, 640, 480 }, 0, 0 },
		/* outside the box (a captured drag): the nearest edge pixel */
		{ { -30, -1, 0, 0, 640, 480 }, 0, 0 },
		{ { 5000, 700, 0, 0, 640, 480 }, 639, 479 },
		{ { 100, 100, 0, 0, 0, 0 }, 0, 0 },                     /* not laid out yet */
	};
	unsigned i;
	char detail[120];

	for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
		int x = -1, y = -1;
		SDL_EMSCRIPTEN_MapPointer(cases[i].p, 640, 480, &x, &y);
		snprintf(detail, sizeof detail, "(%g,%g) in %gx%g at (%g,%g) gave (%d,%d), not (%d,%d)",
		         cases[i].p[0], cases[i].p[1], cases[i].p[4], cases[i].p[5],
		         cases[i].p[2], cases[i].p[3], x, y, cases[i].x, cases[i].y);
		expect(x == cases[i].x && y == cases[i].y, "pointer", detail);
	}
}

/* A standard pad reads as sdl12-compat's game controller: 22 buttons in
   SDL_GameControllerButton order, 7 axes in SDL_GameControllerAxis order */
static void pads(void)
{
	static const struct {
		int standard, naxes, nbuttons;
		double axes[4], buttons[18];
		int axis, axis_value, button;	/* one axis and the one button pressed */
	} cases[] = {
		/* standard: face button 0 is A, 3 is Y; 8 is BACK, 9 START, 16 GUIDE */
		{ 1, 4, 17, { 0 }, { [0] = 1 }, 0, 0, 0 },
		{ 1, 4, 17, { 0 }, { [3] = 1 }, 0, 0, 3 },
		{ 1, 4, 17, { 0 }, { [8] = 1 }, 0, 0, 4 },
		{ 1, 4, 17, { 0 }, { [16] = 1 }, 0, 0, 5 },
		{ 1, 4, 17, { 0 }, { [9] = 1 }, 0, 0, 6 },
		{ 1, 4, 17, { 0 }, { [4] = 1 }, 0, 0, 9 },
		/* the D-pad: buttons 11-14, no hat */
		{ 1, 4, 17, { 0 }, { [12] = 1 }, 0, 0, 11 },
		{ 1, 4, 17, { 0 }, { [15] = 1 }, 0, 0, 14 },
		/* sticks: -1..1 to -32768..32767, down positive as in SDL */
		{ 1, 4, 17, { 0, 1 }, { 0 }, 1, 32767, -1 },
		{ 1, 4, 17, { -1 }, { 0 }, 0, -32768, -1 },
		{ 1, 4, 17, { 0, 0, 0.5 }, { 0 }, 2, 16383, -1 },
		/* triggers (buttons 6 and 7) are axes 4 and 5, from 0 */
		{ 1, 4, 17, { 0 }, { [7] = 1 }, 5, 32767, -1 },
		{ 1, 4, 17, { 0 }, { [6] = 0.5 }, 4, 16383, -1 },
		/* a short pad reads its missing controls as idle */
		{ 1, 2, 4, { 0 }, { [6] = 1, [12] = 1 }, 3, 0, -1 },
		/* other pads keep the browser's order */
		{ 0, 2, 6, { 0, -1 }, { [5] = 1 }, 1, -32768, 5 },
	};
	unsigned i, j;
	char detail[120];

	for (i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
		Sint16 axes[7];
		Uint8 buttons[22];
		int ok = 1;
		SDL_EMSCRIPTEN_PadLayout(cases[i].standard, cases[i].axes, cases[i].naxes,
		                         cases[i].buttons, cases[i].nbuttons, axes, 7, buttons, 22);
		for (j = 0; j < 22; ++j)
			ok &= buttons[j] == ((int)j == cases[i].button);
		for (j = 0; j < 7; ++j)
			ok &= axes[j] == ((int)j == cases[i].axis ? cases[i].axis_value : 0);
		snprintf(detail, sizeof detail, "case %u: axis %d is %d, button %d is %d",
		         i, cases[i].axis, axes[cases[i].axis], cases[i].button,
		         cases[i].button < 0 ? -1 : buttons[cases[i].button]);
		expect(ok, "pad", detail);
	}
}

int main(void)
{
	keys();
	pointer();
	pads();
	if (!failures)
		printf("ok: key, pointer and gamepad mapping\n");
	return failures != 0;
}
