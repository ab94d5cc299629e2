/* The browser back end end to end: a full redraw and 200 colour-keyed blits a
   frame, an audio callback, and keys and clicks shown to the page (Module.check)
   for backend.js, which drives it in headless chromium. */
#include <SDL.h>
#include <emscripten.h>
#include <math.h>

static volatile int callbacks;
static double phase;

static void audio(void *u, Uint8 *stream, int len)
{
	Sint16 *s = (Sint16 *)stream;
	int i;
	for (i = 0; i < len / 4; ++i) {
		Sint16 v = (Sint16)(3000 * sin(phase));
		phase += 2 * M_PI * 440 / 44100;
		s[2 * i] = s[2 * i + 1] = v;
	}
	callbacks++;
}

int main(int argc, char **argv)
{
	SDL_Surface *screen, *sprite, *icon;
	SDL_Joystick *pad = NULL;
	SDL_AudioSpec want = { 0 };
	int frame = 0, lastKey = 0, lastUni = 0, clickX = -1, clickY = -1, clickB = 0, ups = 0;
	double work = 0;

	if (SDL_Init(SDL_INIT_EVERYTHING) < 0) {
		EM_ASM({ Module.checkError = UTF8ToString($0); }, SDL_GetError());
		return 1;
	}
	screen = SDL_SetVideoMode(640, 480, 32, SDL_SWSURFACE);
	SDL_WM_SetCaption("SDL check", NULL);
	icon = SDL_CreateRGBSurface(SDL_SWSURFACE, 16, 16, 32, 0xff0000, 0xff00, 0xff, 0);
	SDL_FillRect(icon, NULL, SDL_MapRGB(icon->format, 200, 50, 50));
	SDL_WM_SetIcon(icon, NULL);
	SDL_EnableUNICODE(1);
	want.freq = 44100; want.format = AUDIO_S16SYS; want.channels = 2;
	want.samples = 1024; want.callback = audio;
	if (SDL_OpenAudio(&want, NULL) == 0)
		SDL_PauseAudio(0);
	sprite = SDL_CreateRGBSurface(SDL_SWSURFACE, 32, 32, 32, 0xff0000, 0xff00, 0xff, 0);
	SDL_FillRect(sprite, NULL, SDL_MapRGB(sprite->format, 255, 0, 255));
	{ SDL_Rect r = { 8, 8, 16, 16 }; SDL_FillRect(sprite, &r, SDL_MapRGB(sprite->format, 255, 255, 0)); }
	SDL_SetColorKey(sprite, SDL_SRCCOLORKEY, SDL_MapRGB(sprite->format, 255, 0, 255));
	{ SDL_Surface *d = SDL_DisplayFormat(sprite); SDL_FreeSurface(sprite); sprite = d; }

	for (;;) {
		SDL_Event e;
		int x, y, i;
		Uint8 *keys, buttons;
		double t0 = emscripten_get_now();
		while (SDL_PollEvent(&e)) {
			if (e.type == SDL_QUIT) { EM_ASM({ Module.quit = 1; }); return 0; }
			if (e.type == SDL_KEYDOWN) { lastKey = e.key.keysym.sym; lastUni = e.key.keysym.unicode; }
			if (e.type == SDL_KEYDOWN && e.key.keysym.sym == SDLK_F9) /* as the game does */
				screen = SDL_SetVideoMode(640, 480, 32, SDL_SWSURFACE | (screen->flags & SDL_FULLSCREEN ? 0 : SDL_FULLSCREEN));
			if (e.type == SDL_MOUSEBUTTONDOWN) { clickX = e.button.x; clickY = e.button.y; clickB = e.button.button; }
			if (e.type == SDL_MOUSEBUTTONUP) ups++;
		}
		SDL_LockSurface(screen);
		for (y = 0; y < 480; ++y) {
			Uint32 *row = (Uint32 *)((Uint8 *)screen->pixels + y * screen->pitch);
			for (x = 0; x < 640; ++x)
				row[x] = ((x + frame) & 0xff) << 16 | ((y + frame) & 0xff) << 8 | ((x ^ y) & 0xff);
		}
		SDL_UnlockSurface(screen);
		for (i = 0; i < 200; ++i) {
			SDL_Rect d = { (Sint16)((i * 37 + frame) % 608), (Sint16)((i * 53 + frame) % 448), 0, 0 };
			SDL_BlitSurface(sprite, NULL, screen, &d);
		}
		if (!pad && SDL_NumJoysticks() > 0)
			pad = SDL_JoystickOpen(0);
		keys = SDL_GetKeyState(NULL);
		buttons = SDL_GetMouseState(&x, &y);
		work = emscripten_get_now() - t0;
		{
			int st[] = { frame, keys[SDLK_LEFT], keys[SDLK_a], lastKey, lastUni, x, y, buttons,
				clickX, clickY, clickB, ups, callbacks, (int)(work * 1000), SDL_GetAppState(),
				SDL_NumJoysticks(), pad ? SDL_JoystickNumButtons(pad) : -1,
				pad ? SDL_JoystickGetButton(pad, 11) : -1, pad ? SDL_JoystickGetAxis(pad, 1) : -1 };
			EM_ASM({
				var n = "frame left a lastKey lastUni mouseX mouseY buttons clickX clickY clickB ups callbacks workUs appState pads padButtons padUp padY".split(" ");
				var c = {};
				for (var i = 0; i < n.length; ++i) c[n[i]] = HEAP32[($0 >> 2) + i];
				Module.check = c;
			}, st);
		}
		SDL_Flip(screen);
		frame++;
	}
}
